// Whether one INF file is the product's, read through the platform's INF parser: its
// options entry ("TAVOOptions" in [Strings]) allows taking it on the running Windows, and a
// model line of one of its manufacturer's model sections installs a device of the product.
// Each operation opens and closes the file itself; an unreadable file answers 0.
#ifndef K440_INVENTORY_INF_READING_H
#define K440_INVENTORY_INF_READING_H

#include "base/string_list.h"

#define INF_OPTIONS_SIZE 1024
#define INF_SECTION_NAME_SIZE 260
#define INF_HARDWARE_ID_SIZE 1024

// 1 when the options say "uninstallable" and no "notinstallonwin<version>" names `os_class`;
// 1 without reading the file when `skip_validation` is set.
int inf_allows_uninstall(const char *inf_path, int os_class, int skip_validation);
// Pushes field 1 of every [Manufacturer] line onto *list; 1 when at least one was added.
int inf_list_model_sections(const char *inf_path, string_list_entry **list);
// 1 when the first hardware id (field 2) of a line of `section` belongs to the product.
int inf_section_names_device(const char *inf_path, const char *section,
                             const string_list_entry *device_ids,
                             const string_list_entry *device_names);
// 1 when any model section of the file names a device of the product.
int inf_names_device(const char *inf_path, const string_list_entry *device_ids,
                     const string_list_entry *device_names);

#endif
