// Result codes of a run; the last one a run reaches is the process exit code.
#ifndef K440_BASE_RESULT_CODES_H
#define K440_BASE_RESULT_CODES_H

enum result_code {
    RESULT_SUCCESS = 0,
    RESULT_RESTART_NEEDED = 2,
    RESULT_CANCELLED = 3,
    RESULT_ALREADY_RUNNING = 4,
    RESULT_BAD_SWITCH = 8,
    RESULT_UNSUPPORTED_OS = 9,
    RESULT_WRONG_OS = 10,
    // "-before_rebooting" could not write its RunOnce entry (the program path does not fit
    // the command, or the write was refused): no restart is offered, because it would not
    // resume the removal.
    RESULT_RESUME_NOT_ARRANGED = 11,
    RESULT_NO_INSTALLED_DRIVER = 12,
    RESULT_NOT_ADMINISTRATOR = 13,
    RESULT_HANDSET_ATTACHED = 14,
    // The removal ended with something it set out to remove still in place and not handed to
    // the restart: a device instance, a key, a value or a file (the log names each).
    RESULT_PARTIAL_REMOVAL = 15,
    // A run that would ask (a dialog, a box) where no one can answer: the process's window
    // station is not one a user sees (a deployment tool's service session), or the dialog
    // could not be created. Nothing was changed; started with "-quiet" the run asks nothing.
    RESULT_NO_ONE_TO_ASK = 16
};

#endif
