#include "base/key_path.h"

#include "base/mbtext.h"
#include "base/text_buffer.h"

int compose_key_path(char *buffer, const char *parent, const char *name) {
    if (!name[0] || mb_find_char(name, '\\')) {
        buffer[0] = '\0';
        return 0;
    }
    return text_join(buffer, KEY_PATH_SIZE, parent, "\\", name);
}

int is_key_path_below(const char *text, int min_parts) {
    int parts = 0;
    const char *part = text;
    for (;;) {
        const char *slash = mb_find_char(part, '\\');
        if (slash == part || !part[0]) return 0;  // empty part: leading, doubled or trailing
        ++parts;
        if (!slash) break;
        part = slash + 1;
    }
    return parts >= min_parts;
}
