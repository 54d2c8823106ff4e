#include "control/run_log_header.h"

#include "base/run_log.h"
#include "base/text_buffer.h"
#include "inventory/product_record.h"
#include "platform/win32.h"
#include "base/key_path.h"
#include "base/reg_helpers.h"

#define SWITCH_TEXT_SIZE 1024

namespace {

const char *os_class_name(int os_class) {
    static const char *const names[] = {
        "not recognised", "Windows 95", "Windows 95 OSR2", "Windows 98", "Windows 98 SE",
        "Windows Me",     "Windows NT 4.0", "Windows 2000", "Windows XP", "Windows Server 2003",
        "later NT"};
    if (os_class < 0 || os_class > 10) return "?";
    return names[os_class];
}

}  // namespace

void log_run_header(const run_record *record, const char *argument_text) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char program[PATH_SIZE];
    DWORD length = GetModuleFileNameA(0, program, sizeof program);
    if (length == 0 || length >= sizeof program) text_copy(program, sizeof program, "(unknown)");
    char record_path[PATH_SIZE];
    char switches[SWITCH_TEXT_SIZE];
    if (!compose_key_path(record_path, PRODUCT_RECORD_ROOT, record->profile->product_guid) ||
        !reg_read_string(record_path, "UninstallerCmdLineSwitch", switches, sizeof switches))
        text_copy(switches, sizeof switches, "(none)");
    log_line("%04u-%02u-%02u %02u:%02u:%02u %s; command line: %s; record switches: %s; "
             "OS class %d (%s)",
             (unsigned)now.wYear, (unsigned)now.wMonth, (unsigned)now.wDay, (unsigned)now.wHour,
             (unsigned)now.wMinute, (unsigned)now.wSecond, program, argument_text, switches,
             record->os_class, os_class_name(record->os_class));
}
