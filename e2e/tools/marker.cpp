// marker: a program that only leaves a trace that it ran. Planted under a name that must never
// be started (C:\Program.exe), it appends its command line to <its own path>.ran, so that a
// case can tell whether the platform started it.
#include <windows.h>

#include <stdio.h>
#include <string.h>

int main() {
    char path[MAX_PATH + 8];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    strcat(path, ".ran");
    FILE *f = fopen(path, "ab");
    if (!f) return 1;
    fprintf(f, "%s\r\n", GetCommandLineA());
    fclose(f);
    return 0;
}
