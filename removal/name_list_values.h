// Lists of names that Windows keeps in REG_MULTI_SZ values (the UpperFilters and LowerFilters
// of device setup classes and devices, the co-installer lists of CoDeviceInstallers): taking
// one name out of such a list, with the other entries and their order kept.
#ifndef K440_REMOVAL_NAME_LIST_VALUES_H
#define K440_REMOVAL_NAME_LIST_VALUES_H

#include "platform/win32.h"

// Whether a list entry names `name`.
typedef int (*entry_names)(const char *entry, const char *name);
// The whole entry is the name, without regard to case: a filter list's service.
int entry_is_name(const char *entry, const char *name);
// The entry's file part (before a ",") is the name: a co-installer "K440dTIN.dll,Entry".
int entry_is_dll(const char *entry, const char *name);

// The list `data` (`size` bytes as read; a missing terminator is taken as there) without the
// entries that name `name`, into `out` of at least size + 2 bytes; *out_size is the new list's
// size, 0 when no entry is left. Returns how many entries were left out.
int list_without(const char *data, DWORD size, entry_names names, const char *name, char *out,
                 DWORD *out_size);

// Takes `name` out of the REG_MULTI_SZ value below HKEY_LOCAL_MACHINE, deleting a value left
// empty, and writes the outcome to the run log ("edit value ..."); with `plan_only` it only
// writes "plan: take <name> out of value ..." when the value names it. Returns 0, or the
// platform's error when the value still names it.
unsigned long take_name_out_of_value(const char *key_path, const char *value_name,
                                     entry_names names, const char *name, int plan_only);

#endif
