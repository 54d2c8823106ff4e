// The names under which the NT family's hand-off to the restart sets a file in use aside in its
// own folder: the product's short name, "_del", a decimal number and ".tmp" (K440dT_del0.tmp).
// The removal makes them; a run again after an interruption finds what one left behind.
#ifndef K440_BASE_SET_ASIDE_NAME_H
#define K440_BASE_SET_ASIDE_NAME_H

#include <stddef.h>

// The listing pattern that covers the names after the short name.
#define SET_ASIDE_PATTERN_TAIL "_del*.tmp"

// The name with that number into `name`; 0 (name empty) when it does not fit.
int set_aside_name(const char *short_name, int number, char *name, size_t size);
// 1 when `name` is one of those names exactly.
int is_set_aside_name(const char *short_name, const char *name);

#endif
