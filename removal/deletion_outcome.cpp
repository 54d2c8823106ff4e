#include "removal/deletion_outcome.h"

#include "base/run_log.h"
#include "platform/win32.h"

deletion_outcome deletion_done() { return {DELETION_DONE, 0}; }

deletion_outcome deletion_failed(unsigned long error) { return {DELETION_FAILED, error}; }

deletion_outcome registry_deletion_outcome(long rc) {
    if (rc == ERROR_SUCCESS) return deletion_done();
    if (rc == ERROR_FILE_NOT_FOUND) return {DELETION_NOT_THERE, 0};
    return deletion_failed((unsigned long)rc);
}

int log_deletion(const char *kind, const char *name, deletion_outcome outcome,
                 const char *value_name) {
    char failure[FAILURE_TEXT_SIZE];
    const char *what = "removed";
    if (outcome.result == DELETION_NOT_THERE) what = "not there";
    if (outcome.result == DELETION_FAILED || outcome.result == DELETION_HANDED_TO_RESTART)
        what = failure_text(outcome.error, failure);
    log_line("delete %s %s%s%s: %s%s", kind, name, value_name ? "\\" : "",
             value_name ? value_name : "", what,
             outcome.result == DELETION_FAILED              ? ", left in place"
             : outcome.result == DELETION_HANDED_TO_RESTART ? ", handed to the restart"
                                                            : "");
    return outcome.result == DELETION_FAILED;
}
