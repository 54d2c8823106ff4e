"""The end-to-end harness by concern; e2e/harness.py gathers the names the cases import.

    errors          the harness's own errors and its trace
    runner          the case runner: @case, main(), check and check_equal
    wine            Wine and Xvfb control, the booted template prefix
    wintool         the wintool protocol: boxes, controls, run results
    dos_attributes  file attributes as Wine keeps them
    file_list       files.txt fixtures and the file listing of a prefix
    registry_files  Wine's registry files and .reg files, in one shape
    snapshots       snapshots of a prefix and their difference
    prefix          one case's prefix
    expected_removals  the expected.txt of a whole-run fixture
    whole_run_check    whether a snapshot difference is exactly a fixture's expected removals
    xp_machine      a generated XP machine of N typical units, for the Wine benchmark
    bench_figures   medians and own work of a benchmark against an empty program and a floor
"""
