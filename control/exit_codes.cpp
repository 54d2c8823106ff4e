#include "control/exit_codes.h"

#include "base/result_codes.h"

int msi_exit_code(int result, int restart_started) {
    switch (result) {
        case RESULT_SUCCESS: return MSI_SUCCESS;
        case RESULT_RESTART_NEEDED: return restart_started ? MSI_RESTART_STARTED : MSI_RESTART_NEEDED;
        case RESULT_CANCELLED: return MSI_CANCELLED;
        case RESULT_ALREADY_RUNNING: return MSI_ANOTHER_RUNNING;
        default: return MSI_FAILED;  // a refusal, a partial removal: nothing a tool may count as done
    }
}
