#include "control/admin_check.h"

// Placeholder until the administrator check lands: every user may go on.
int administrator_check(int os_class) {
    (void)os_class;
    return 1;
}

int is_administrator(unsigned long group_rid) {
    (void)group_rid;
    return 1;
}
