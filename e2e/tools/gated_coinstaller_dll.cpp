// gated_coinstaller: a device co-installer that keeps DIF_REMOVE waiting until a case lets it
// go. Named in the CoInstallers32 value of a planted device's driver key, it is called by the
// platform inside the uninstaller's removal; it then creates <its own path>.held and returns
// only once <its own path>.go exists (or after 60 s). While it waits, the uninstaller's
// windows stay exactly as the removal left them, so a case can look at them without a race.
#include <windows.h>
#include <setupapi.h>

#include <stdio.h>
#include <string.h>

static HMODULE g_self;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_self = instance;
    return TRUE;
}

static int own_path_with(const char *suffix, char *path, size_t size) {
    DWORD length = GetModuleFileNameA(g_self, path, (DWORD)size);
    if (length == 0 || length + strlen(suffix) >= size) return 0;
    strcat(path, suffix);
    return 1;
}

extern "C" __declspec(dllexport) DWORD WINAPI CoDeviceInstall(DI_FUNCTION function, HDEVINFO,
                                                              PSP_DEVINFO_DATA, void *) {
    if (function != DIF_REMOVE) return NO_ERROR;
    char held[MAX_PATH + 8];
    char go[MAX_PATH + 8];
    if (!own_path_with(".held", held, sizeof held) || !own_path_with(".go", go, sizeof go))
        return NO_ERROR;
    FILE *f = fopen(held, "wb");
    if (f) fclose(f);
    for (int waited = 0; waited < 60000; waited += 20) {
        if (GetFileAttributesA(go) != INVALID_FILE_ATTRIBUTES) break;
        Sleep(20);
    }
    return NO_ERROR;
}
