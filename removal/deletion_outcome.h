// What became of one item the removal set out to delete. The deleting operation says what
// happened; its caller writes it to the run log and counts what stayed.
#ifndef K440_REMOVAL_DELETION_OUTCOME_H
#define K440_REMOVAL_DELETION_OUTCOME_H

enum deletion_result {
    DELETION_DONE,
    DELETION_NOT_THERE,
    DELETION_FAILED,             // still in place; `error` says why
    DELETION_HANDED_TO_RESTART,  // in use; `error` says why it could not go now
};

struct deletion_outcome {
    deletion_result result;
    unsigned long error;
};

deletion_outcome deletion_done();
deletion_outcome deletion_failed(unsigned long error);
// A registry function's result: done, not there (ERROR_FILE_NOT_FOUND) or failed.
deletion_outcome registry_deletion_outcome(long rc);

// Writes "delete <kind> <name>[\<value name>]: removed", ": not there", ": <error>, left in
// place" or ": <error>, handed to the restart"; 1 when the item is left in place.
int log_deletion(const char *kind, const char *name, deletion_outcome outcome,
                 const char *value_name = 0);

#endif
