#include "removal/wininit_rename.h"

// Placeholder until the wininit.ini route lands: nothing is scheduled.
void schedule_wininit_renames(const string_list_entry *restart_list) { (void)restart_list; }
