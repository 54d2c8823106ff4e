// The administrator check of the NT family.
#ifndef K440_CONTROL_ADMIN_CHECK_H
#define K440_CONTROL_ADMIN_CHECK_H

// 1 when the run may go on: always on Windows 98/ME, on the NT family only for a member of
// the Administrators group.
int administrator_check(int os_class);
// 1 when the process token lists the built-in domain group with this relative id.
int is_administrator(unsigned long group_rid);

#endif
