#include "base/os_class.h"

#include <string.h>

#include "platform/win32.h"

namespace {

int classify_nt(const OSVERSIONINFOA &info) {
    if (info.dwMajorVersion == 5) {
        switch (info.dwMinorVersion) {
            case 0: return OS_WIN2000;
            case 1: return OS_WINXP;
            case 2: return OS_WIN2003;
            default: return OS_LATER_NT;
        }
    }
    return info.dwMajorVersion <= 4 ? OS_NT4 : OS_LATER_NT;
}

int classify_9x(const OSVERSIONINFOA &info) {
    if (info.dwMajorVersion != 4) return OS_UNKNOWN;
    // The service-pack text's second character tells the releases apart.
    char release = info.szCSDVersion[0] ? info.szCSDVersion[1] : '\0';
    switch (info.dwMinorVersion) {
        case 0: return (release == 'B' || release == 'C') ? OS_WIN95_OSR2 : OS_WIN95;
        case 10:
            if (release == 'A') return OS_WIN98_SE;
            return (info.dwBuildNumber & 0xFFFF) == 3000 ? OS_WINME : OS_WIN98;
        case 90: return OS_WINME;
        default: return OS_UNKNOWN;
    }
}

}  // namespace

int classify_os(void) {
    OSVERSIONINFOA info;
    memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) return OS_UNKNOWN;
    if (info.dwPlatformId == VER_PLATFORM_WIN32_NT) return classify_nt(info);
    if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) return classify_9x(info);
    return OS_UNKNOWN;
}
