// The deletion of one item of the removal's lists, with its outcome written to the run log:
// removed, not there, failed with the platform's error, or handed to the restart. Each returns
// 1 when the item is still in place and not handed to the restart, so that the removal can
// tell a complete run from a partial one.
#ifndef K440_REMOVAL_LISTED_DELETION_H
#define K440_REMOVAL_LISTED_DELETION_H

#include "base/run_record.h"
#include "base/string_list.h"
#include "platform/win32.h"

int delete_listed_key(const char *key_path);
int delete_listed_value(const char *key_path, const char *value_name);
// A file that exists and cannot be deleted now is pushed onto *restart_list (once) for the
// deletion at the next restart; a folder of that name is left in place.
int delete_listed_file(const char *path, string_list_entry **restart_list);
// An entry of the install folder: a folder goes to the restart as a file in use does.
int delete_swept_entry(const char *path, string_list_entry **restart_list);

// The filter lists' edits for the record's service keys (NT family); the names still named.
string_list_entry *take_filters_of_listed_services(const run_record *record);
// A service key of the driver set (NT family), deleted through the service manager; a key
// handed to the restart asks for one.
int delete_listed_service(run_record *record, const char *key_path, SC_HANDLE *manager);
// A DLL of the system folder (co_installer_name_of): its name taken out of the co-installer
// lists, then the file.
int delete_listed_co_installer(const char *path, string_list_entry **restart_list);

// The driver index files of Windows 98/ME below the Windows folder, ending with 0: the system
// builds them anew from the INF directory at its next start, so the removal deletes them.
extern const char *const legacy_driver_index_files[];

#endif
