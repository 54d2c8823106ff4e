// The floor of the whole-run benchmark (e2e/bench_whole_run.py): only the reading that no
// uninstaller of this kind can do without, each part once, through the ANSI functions. It
// reads every uninstall record's DisplayName and UninstallString and every service's
// ImagePath, builds one device list of all classes and reads each device's hardware ids and
// its two filter lists, reads the filter lists of every setup class and the co-installer
// lists (an uninstaller that deletes a driver service or a co-installer DLL must first take
// it out of every list that names it), lists <windows>\inf\oem*.inf, and looks up each
// driver file of the built-in profile in <system>\drivers. It prints nothing and exits 0; 1
// where the services key or the device list cannot be read, so that a floor that did not do
// its work is never timed as one.
//
// A GUI program with the imports of empty_gui.exe, so that its start-up is that program's.
#include <windows.h>
#include <setupapi.h>

#include <string.h>

#include "base/profile.h"

namespace {

// Referenced, never called: the loader maps and starts the libraries as for the product.
const void *volatile imports[] = {(const void *)&MessageBoxA, (const void *)&GetStockObject};

// Room for a registry value or a device property; a longer one is read no further.
char buffer[4096];

void read_value(HKEY key, const char *name) {
    DWORD type, size = sizeof buffer;
    RegQueryValueExA(key, name, 0, &type, (BYTE *)buffer, &size);
}

// Opens each subkey of `path` and reads the named values; false when `path` cannot be opened.
bool read_subkeys(const char *path, const char *const *values) {
    HKEY parent;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &parent) != ERROR_SUCCESS)
        return false;
    char name[MAX_PATH];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        LONG result = RegEnumKeyExA(parent, index, name, &length, 0, 0, 0, 0);
        if (result == ERROR_MORE_DATA) continue;
        if (result != ERROR_SUCCESS) break;
        HKEY key;
        if (RegOpenKeyExA(parent, name, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
        for (int v = 0; values[v]; ++v) read_value(key, values[v]);
        RegCloseKey(key);
    }
    RegCloseKey(parent);
    return true;
}

// Every value of the key at `path`.
void read_values(const char *path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    char name[MAX_PATH];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name, size = sizeof buffer, type;
        if (RegEnumValueA(key, index, name, &length, 0, &type, (BYTE *)buffer, &size) !=
            ERROR_SUCCESS)
            break;
    }
    RegCloseKey(key);
}

bool read_devices(void) {
    HDEVINFO set = SetupDiGetClassDevsA(0, 0, 0, DIGCF_ALLCLASSES);
    if (set == INVALID_HANDLE_VALUE) return false;
    SP_DEVINFO_DATA device;
    for (DWORD index = 0;; ++index) {
        device.cbSize = sizeof device;
        if (!SetupDiEnumDeviceInfo(set, index, &device)) break;
        DWORD type;
        const DWORD properties[] = {SPDRP_HARDWAREID, SPDRP_UPPERFILTERS, SPDRP_LOWERFILTERS};
        for (DWORD property : properties)
            SetupDiGetDeviceRegistryPropertyA(set, &device, property, &type, (BYTE *)buffer,
                                              sizeof buffer, 0);
    }
    SetupDiDestroyDeviceInfoList(set);
    return true;
}

// `folder` + `name` into `path`, or false when it does not fit.
bool join(char *path, const char *folder, const char *name) {
    if (strlen(folder) + strlen(name) >= MAX_PATH) return false;
    strcpy(path, folder);
    strcat(path, name);
    return true;
}

void list_oem_infs(void) {
    char windows[MAX_PATH], pattern[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
    if (!length || length >= MAX_PATH || !join(pattern, windows, "\\inf\\oem*.inf")) return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    while (FindNextFileA(search, &found)) {
    }
    FindClose(search);
}

void look_up_driver_files(void) {
    char system[MAX_PATH], drivers[MAX_PATH], path[MAX_PATH];
    UINT length = GetSystemDirectoryA(system, MAX_PATH);
    if (!length || length >= MAX_PATH || !join(drivers, system, "\\drivers\\")) return;
    const product_profile *profile = builtin_profile();
    text_list lists[2] = {profile->driver_files, profile->more_driver_files};
    for (int l = 0; l < 2; ++l)
        for (int i = 0; lists[l] && lists[l][i]; ++i)
            if (join(path, drivers, lists[l][i])) GetFileAttributesA(path);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    static const char *const record_values[] = {"DisplayName", "UninstallString", 0};
    static const char *const service_values[] = {"ImagePath", 0};
    static const char *const filter_values[] = {"UpperFilters", "LowerFilters", 0};
    // A machine without uninstall records has none to read.
    read_subkeys("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", record_values);
    if (!read_subkeys("System\\CurrentControlSet\\Services", service_values)) return 1;
    if (!read_devices()) return 1;
    read_subkeys("System\\CurrentControlSet\\Control\\Class", filter_values);
    read_values("System\\CurrentControlSet\\Control\\CoDeviceInstallers");
    list_oem_infs();
    look_up_driver_files();
    return imports[0] ? 0 : 1;
}
