// hidden_station: starts a command line in a window station of its own, which no user sees,
// as a deployment tool's service session is, waits for it and prints "exit=<code> ms=<time>"
// with the whole 32-bit exit code (Wine hands a Unix parent only its low byte).
#include <windows.h>

#include <stdio.h>

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: hidden_station \"<command line>\"\n");
        return 2;
    }
    HWINSTA hidden = CreateWindowStationA("k440hidden", 0, WINSTA_ALL_ACCESS, NULL);
    if (!hidden) {
        fprintf(stderr, "CreateWindowStationA failed (%lu)\n", GetLastError());
        return 1;
    }
    // A desktop is created in the station the process is in.
    HWINSTA own = GetProcessWindowStation();
    SetProcessWindowStation(hidden);
    HDESK desktop = CreateDesktopA("Default", 0, 0, 0, GENERIC_ALL, NULL);
    SetProcessWindowStation(own);
    if (!desktop) {
        fprintf(stderr, "CreateDesktopA failed (%lu)\n", GetLastError());
        return 1;
    }
    STARTUPINFOA startup;
    PROCESS_INFORMATION started;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    char desktop_name[] = "k440hidden\\Default";
    startup.lpDesktop = desktop_name;
    DWORD began = GetTickCount();
    if (!CreateProcessA(NULL, argv[1], 0, 0, FALSE, 0, 0, 0, &startup, &started)) {
        fprintf(stderr, "CreateProcessA failed (%lu)\n", GetLastError());
        return 1;
    }
    DWORD waited = WaitForSingleObject(started.hProcess, 120000);
    DWORD code = 0;
    GetExitCodeProcess(started.hProcess, &code);
    printf("exit=%lu ms=%lu%s\n", code, GetTickCount() - began,
           waited == WAIT_OBJECT_0 ? "" : " still running");
    return 0;
}
