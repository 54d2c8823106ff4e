// Small registry operations on keys under HKEY_LOCAL_MACHINE. Each opens what it needs,
// does one thing, closes it again and answers 1 (done) or 0. The "_at" forms work on a key
// the caller opened.
#ifndef K440_BASE_REG_HELPERS_H
#define K440_BASE_REG_HELPERS_H

#include "base/string_list.h"
#include "platform/win32.h"

#define REG_NAME_SIZE 1024

// Push the names of the subkeys (values) at the head of *list, so that the list reads in the
// reverse of the platform's order. 1 when at least one name was added. Only names that reach
// their own key through the ANSI functions are listed: on the NT family a subkey whose name
// the ANSI code page cannot hold exactly is left out (its best-fit form names another key).
int reg_list_subkeys(const char *path, string_list_entry **list);
int reg_list_subkeys_at(HKEY key, string_list_entry **list);
// The same; `*all_named` becomes 0 when a subkey was left out for its name.
int reg_list_named_subkeys(const char *path, string_list_entry **list, int *all_named);
// Hands each such subkey name, in the platform's order, to `visit` with the key it is under;
// nothing is kept, so that a walk over thousands of keys allocates nothing for them.
typedef void (*subkey_visit)(HKEY parent, const char *name, void *context);
void reg_visit_subkeys_at(HKEY key, subkey_visit visit, void *context);
int reg_list_values(const char *path, string_list_entry **list);
int reg_list_values_at(HKEY key, string_list_entry **list);

// Reads a string value (REG_SZ, REG_EXPAND_SZ unexpanded, the first string of REG_MULTI_SZ)
// into `buffer` as terminated text, whole or not at all (base/reg_text.h): a value stored
// without its terminator is read whole, one that leaves no room for the terminator is too
// long, and on the NT family a text whose ANSI form is not the stored text is not read. On
// failure the buffer holds the empty text, except that reg_read_string leaves it untouched
// when the key does not open.
int reg_read_string(const char *path, const char *value_name, char *buffer, DWORD size);
int reg_read_string_at(HKEY key, const char *value_name, char *buffer, DWORD size);
// The same read without the comparison with the stored text: only for a caller that merely
// tests the text against names of its own and confirms a match with text_reads_as_stored, so
// that a walk over thousands of keys reads each value once.
int reg_read_ansi_string_at(HKEY key, const char *value_name, char *buffer, DWORD size);

int reg_key_exists(const char *path);

// Writes a REG_SZ value (terminator included) into an existing key.
int reg_write_string(const char *path, const char *value_name, const char *text);
int reg_write_string_at(HKEY key, const char *value_name, const char *text);

int reg_delete_value_at(HKEY key, const char *value_name);

#endif
