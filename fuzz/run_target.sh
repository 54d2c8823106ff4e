#!/usr/bin/env bash
# Runs one fuzz target for a bounded time over a scratch corpus seeded from the repository's;
# a crash leaves its input in the scratch folder and fails the test. K440_FUZZ_SECONDS in the
# environment overrides the configured time (the long run:
#   K440_FUZZ_SECONDS=300 ctest --test-dir build/host -R fuzz -j2 --timeout 0).
set -euo pipefail
target=$1 seeds=$2 seconds=${K440_FUZZ_SECONDS:-$3}
[ -x "$target" ] || { echo "fuzz target $target is not built (./run build builds it)"; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$target" -max_total_time="$seconds" -rss_limit_mb=2048 -artifact_prefix="$scratch/" \
    -print_final_stats=1 "$scratch" "$seeds" 2>&1 | tail -n 15
status=${PIPESTATUS[0]}
if ls "$scratch"/crash-* "$scratch"/leak-* "$scratch"/timeout-* >/dev/null 2>&1; then
    for f in "$scratch"/crash-* "$scratch"/leak-* "$scratch"/timeout-*; do
        [ -e "$f" ] && { echo "finding: $f"; od -c "$f" | head -20; }
    done
    exit 1
fi
exit "$status"
