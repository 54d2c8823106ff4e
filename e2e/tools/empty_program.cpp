// A program that only starts and exits: the cost of starting a process under the platform,
// which e2e/bench_startup.py sets against the uninstaller's quiet run.
int main() { return 0; }
