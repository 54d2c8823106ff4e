// Restarting the simulated machine: the restart prompt of SetupPromptReboot, answered from the
// UI script, and ExitWindowsEx, which on the NT family needs SeShutdownPrivilege enabled in the
// process token. An accepted restart is counted in restart_requests; tests carry it out with
// carry_out_restart.
#include <algorithm>

#include "machine.h"
#include "restart_api.h"
#include "setupapi_exports.h"
#include "system_api.h"
#include "ui_api.h"

using namespace sim;

namespace {

#define ERROR_PRIVILEGE_NOT_HELD_VALUE 1314L

bool shutdown_privilege_enabled(const Process &p) {
    const std::vector<std::string> &enabled = p.token.enabled_privileges;
    return std::find(enabled.begin(), enabled.end(), "SeShutdownPrivilege") != enabled.end();
}

}  // namespace

INT setupapi_dll::SetupPromptReboot(PVOID file_queue, HWND owner, BOOL scan_only) {
    record_call("SetupPromptReboot", std::string(file_queue ? "queue" : "no-queue") +
                                         (owner ? " owned" : " no-owner") +
                                         (scan_only ? " scan-only" : " prompt"));
    Machine &m = current_machine();
    DWORD error;
    if (m.take_fault("SetupPromptReboot", "", &error)) {
        SetLastError(error);
        return -1;
    }
    // Without a queue there is nothing to scan: a restart is recommended as such.
    if (scan_only) return SPFILEQ_REBOOT_RECOMMENDED;
    ++m.ui.restart_prompts;
    if (!m.ui.restart_prompt_accepted) return SPFILEQ_REBOOT_RECOMMENDED;
    // The prompt enables the shutdown privilege itself before it restarts.
    ++m.restart_requests;
    return SPFILEQ_REBOOT_RECOMMENDED | SPFILEQ_REBOOT_IN_PROGRESS;
}

BOOL ExitWindowsEx(UINT flags, DWORD reason) {
    record_call("ExitWindowsEx", hex(flags) + " " + std::to_string(reason));
    Machine &m = current_machine();
    DWORD error;
    if (m.take_fault("ExitWindowsEx", hex(flags), &error)) {
        SetLastError(error);
        return FALSE;
    }
    bool shuts_down = flags & (EWX_SHUTDOWN | EWX_REBOOT);
    if (shuts_down && m.is_nt() && !shutdown_privilege_enabled(current_process())) {
        SetLastError(ERROR_PRIVILEGE_NOT_HELD_VALUE);
        return FALSE;
    }
    if (shuts_down) ++m.restart_requests;
    return TRUE;
}
