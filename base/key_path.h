// Registry key paths composed from parts that come from the registry itself. On Windows 98/ME
// a deleted key takes its whole tree with it, so a part that is empty or holds a backslash
// (which would make the path name a parent of what was meant) is refused, as is a path that
// does not fit: such a path is never composed, never cut.
#ifndef K440_BASE_KEY_PATH_H
#define K440_BASE_KEY_PATH_H

#include "base/run_record.h"

#define KEY_PATH_SIZE PATH_SIZE

// buffer = parent + "\" + name. 0 (buffer empty) when the name is empty or holds a
// backslash, or when the result does not fit into KEY_PATH_SIZE bytes.
int compose_key_path(char *buffer, const char *parent, const char *name);

// 1 when `text` is a relative key path of at least `min_parts` non-empty parts separated by
// single backslashes, without a leading or trailing backslash.
int is_key_path_below(const char *text, int min_parts);

#endif
