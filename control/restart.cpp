#include "control/restart.h"

// Placeholders until restart and resume land: nothing is offered, forced or registered.
void prompt_restart(void) {}

void force_restart(int os_class) { (void)os_class; }

void register_resume(const char *value_name, const char *program_path) {
    (void)value_name;
    (void)program_path;
}
