// setupapi_probe: asks the platform's SetupAPI the questions that the uninstaller asks, the
// same way, and prints each answer as one line "<what>\t<result>\t<last error>[\t<text>]", so
// that the end-to-end cases can pin down what the platform (Wine) does for every call.
//
//   setupapi_probe list                   every device instance (DIGCF_ALLCLASSES)
//   setupapi_probe present <guid>         devices with a present interface of the class
//   setupapi_probe classkey <guid> <sub>  the class key, its subkey and the subkey's "InfPath"
//   setupapi_probe disable <text>         DIF_PROPERTYCHANGE / DICS_DISABLE on matching devices
//   setupapi_probe remove <text>          DIF_REMOVE on the devices whose instance id holds text
//   setupapi_probe inf <path>             SetupOpenInfFileA (INF_STYLE_WIN4) and the options line
//   setupapi_probe open <id>...           the ids opened one by one into one empty set; its members
#include <windows.h>
#include <setupapi.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

void line(const char *what, long result, const char *text = 0) {
    printf("%s\t%ld\t%lu%s%s\n", what, result, (unsigned long)GetLastError(), text ? "\t" : "",
           text ? text : "");
}

int parse_guid(const char *text, GUID *g) {
    unsigned long d1;
    unsigned int d2, d3, b[8];
    if (sscanf(text, "{%8lx-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}", &d1, &d2, &d3, &b[0], &b[1], &b[2],
               &b[3], &b[4], &b[5], &b[6], &b[7]) != 11)
        return 0;
    g->Data1 = d1;
    g->Data2 = (WORD)d2;
    g->Data3 = (WORD)d3;
    for (int i = 0; i < 8; ++i) g->Data4[i] = (BYTE)b[i];
    return 1;
}

void instance_id(HDEVINFO set, SP_DEVINFO_DATA *d, char *id, DWORD size) {
    if (!SetupDiGetDeviceInstanceIdA(set, d, id, size, 0)) strcpy(id, "?");
}

void print_property(HDEVINFO set, SP_DEVINFO_DATA *d, DWORD property, const char *what) {
    DWORD type = 0, needed = 0;
    char small[4];
    SetLastError(0);
    BOOL ok = SetupDiGetDeviceRegistryPropertyA(set, d, property, &type, (PBYTE)small, sizeof small, &needed);
    char text[64];
    sprintf(text, "needed=%lu type=%lu", (unsigned long)needed, (unsigned long)type);
    char label[64];
    sprintf(label, "%s-small", what);
    line(label, ok, text);
    char buffer[2048];
    SetLastError(0);
    ok = SetupDiGetDeviceRegistryPropertyA(set, d, property, &type, (PBYTE)buffer, sizeof buffer, &needed);
    line(what, ok, ok ? buffer : "");
}

int list() {
    HDEVINFO set = SetupDiGetClassDevsA(0, 0, 0, DIGCF_ALLCLASSES);
    line("getclassdevs", set != INVALID_HANDLE_VALUE);
    if (set == INVALID_HANDLE_VALUE) return 1;
    SP_DEVINFO_DATA d;
    for (DWORD i = 0;; ++i) {
        d.cbSize = sizeof d;
        if (!SetupDiEnumDeviceInfo(set, i, &d)) {
            line("enum-end", (long)i);
            break;
        }
        char id[512];
        instance_id(set, &d, id, sizeof id);
        line("device", (long)i, id);
        print_property(set, &d, SPDRP_HARDWAREID, "hardwareid");
        print_property(set, &d, SPDRP_DRIVER, "driver");
    }
    line("destroy", SetupDiDestroyDeviceInfoList(set));
    return 0;
}

int present(const char *guid_text) {
    GUID g;
    if (!parse_guid(guid_text, &g)) return 2;
    HDEVINFO set = SetupDiGetClassDevsA(&g, 0, 0, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    line("getclassdevs", set != INVALID_HANDLE_VALUE);
    if (set == INVALID_HANDLE_VALUE) return 1;
    SP_DEVICE_INTERFACE_DATA i;
    long count = 0;
    for (DWORD index = 0;; ++index) {
        i.cbSize = sizeof i;
        if (!SetupDiEnumDeviceInterfaces(set, 0, &g, index, &i)) break;
        DWORD needed = 0;
        SetLastError(0);
        BOOL ok = SetupDiGetDeviceInterfaceDetailA(set, &i, 0, 0, &needed, 0);
        char text[32];
        sprintf(text, "needed=%lu", (unsigned long)needed);
        line("detail-size", ok, text);
        ++count;
    }
    line("interfaces", count);
    line("destroy", SetupDiDestroyDeviceInfoList(set));
    return 0;
}

int classkey(const char *guid_text, const char *sub) {
    GUID g;
    if (!parse_guid(guid_text, &g)) return 2;
    SetLastError(0);
    HKEY key = SetupDiOpenClassRegKeyExA(&g, KEY_READ, DIOCR_INSTALLER, 0, 0);
    line("openclasskey", key != (HKEY)INVALID_HANDLE_VALUE);
    if (key == (HKEY)INVALID_HANDLE_VALUE) return 1;
    HKEY driver;
    LONG rc = RegOpenKeyExA(key, sub, 0, KEY_READ, &driver);
    line("opendriverkey", rc);
    if (rc == ERROR_SUCCESS) {
        char value[128];
        DWORD size = sizeof value, type = 0;
        rc = RegQueryValueExA(driver, "InfPath", 0, &type, (LPBYTE)value, &size);
        line("infpath", rc, rc == ERROR_SUCCESS ? value : "");
        RegCloseKey(driver);
    }
    RegCloseKey(key);
    return 0;
}

int class_installer(const char *text, int remove) {
    HDEVINFO set = SetupDiGetClassDevsA(0, 0, 0, DIGCF_ALLCLASSES);
    if (set == INVALID_HANDLE_VALUE) return 1;
    SP_DEVINFO_DATA d;
    for (DWORD i = 0;; ++i) {
        d.cbSize = sizeof d;
        if (!SetupDiEnumDeviceInfo(set, i, &d)) break;
        char id[512];
        instance_id(set, &d, id, sizeof id);
        if (!strstr(id, text)) continue;
        line("device", (long)i, id);
        if (!remove) {
            SP_PROPCHANGE_PARAMS p;
            memset(&p, 0, sizeof p);
            p.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
            p.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
            p.StateChange = DICS_DISABLE;
            p.Scope = DICS_FLAG_GLOBAL;
            SetLastError(0);
            line("setclassinstallparams", SetupDiSetClassInstallParamsA(set, &d, &p.ClassInstallHeader, sizeof p));
        }
        SetLastError(0);
        line(remove ? "dif_remove" : "dif_propertychange",
             SetupDiCallClassInstaller(remove ? DIF_REMOVE : DIF_PROPERTYCHANGE, set, &d));
        SP_DEVINSTALL_PARAMS_A params;
        memset(&params, 0, sizeof params);
        params.cbSize = sizeof params;
        SetLastError(0);
        BOOL ok = SetupDiGetDeviceInstallParamsA(set, &d, &params);
        char flags[32];
        sprintf(flags, "flags=0x%lx", (unsigned long)params.Flags);
        line("installparams", ok, flags);
    }
    line("destroy", SetupDiDestroyDeviceInfoList(set));
    return 0;
}

int inf(const char *path) {
    SetLastError(0);
    HINF h = SetupOpenInfFileA(path, 0, INF_STYLE_WIN4, 0);
    line("openinf", h != INVALID_HANDLE_VALUE);
    if (h == INVALID_HANDLE_VALUE) return 1;
    INFCONTEXT c;
    SetLastError(0);
    BOOL ok = SetupFindFirstLineA(h, "Strings", "TAVOOptions", &c);
    line("findoptions", ok);
    if (ok) {
        char value[1024];
        DWORD needed = 0;
        char small[4];
        SetLastError(0);
        line("options-small", SetupGetStringFieldA(&c, 1, small, sizeof small, &needed));
        SetLastError(0);
        ok = SetupGetStringFieldA(&c, 1, value, sizeof value, &needed);
        line("options", ok, ok ? value : "");
    }
    SetLastError(0);
    if (SetupFindFirstLineA(h, "Manufacturer", 0, &c)) {
        do {
            char section[260];
            if (SetupGetStringFieldA(&c, 1, section, sizeof section, 0)) line("model-section", 1, section);
        } while (SetupFindNextLine(&c, &c));
    }
    SetupCloseInfFile(h);
    return 0;
}

int open(int count, char **ids) {
    SetLastError(0);
    HDEVINFO set = SetupDiCreateDeviceInfoList(0, 0);
    line("createlist", set != INVALID_HANDLE_VALUE);
    if (set == INVALID_HANDLE_VALUE) return 1;
    for (int i = 0; i < count; ++i) {
        SP_DEVINFO_DATA d;
        d.cbSize = sizeof d;
        SetLastError(0);
        line("open", SetupDiOpenDeviceInfoA(set, ids[i], 0, 0, &d), ids[i]);
    }
    SP_DEVINFO_DATA d;
    d.cbSize = sizeof d;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &d); ++index) {
        char id[512];
        instance_id(set, &d, id, sizeof id);
        line("member", 1, id);
    }
    line("destroy", SetupDiDestroyDeviceInfoList(set));
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc >= 2 && !strcmp(argv[1], "list")) return list();
    if (argc >= 3 && !strcmp(argv[1], "present")) return present(argv[2]);
    if (argc >= 4 && !strcmp(argv[1], "classkey")) return classkey(argv[2], argv[3]);
    if (argc >= 3 && !strcmp(argv[1], "disable")) return class_installer(argv[2], 0);
    if (argc >= 3 && !strcmp(argv[1], "remove")) return class_installer(argv[2], 1);
    if (argc >= 3 && !strcmp(argv[1], "inf")) return inf(argv[2]);
    if (argc >= 3 && !strcmp(argv[1], "open")) return open(argc - 2, argv + 2);
    fprintf(stderr, "usage: setupapi_probe list|present|classkey|disable|remove|inf|open ...\n");
    return 2;
}
