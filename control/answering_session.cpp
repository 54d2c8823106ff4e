#include "control/answering_session.h"

#include "base/os_class.h"
#include "base/unicode_text.h"
#include "platform/win32.h"

namespace {

typedef HWINSTA(WINAPI *get_window_station)(void);
typedef BOOL(WINAPI *get_object_information)(HANDLE, int, PVOID, DWORD, LPDWORD);

}  // namespace

int someone_can_answer(int os_class) {
    if (os_class < OS_FIRST_NT) return 1;
    get_window_station station = reinterpret_cast<get_window_station>(
        system_function("user32.dll", "GetProcessWindowStation"));
    get_object_information information = reinterpret_cast<get_object_information>(
        system_function("user32.dll", "GetUserObjectInformationA"));
    if (!station || !information) return 1;
    HWINSTA current = station();
    USEROBJECTFLAGS flags;
    DWORD needed = 0;
    if (!current || !information(current, UOI_FLAGS, &flags, sizeof flags, &needed)) return 1;
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}
