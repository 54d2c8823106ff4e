#include "base/set_aside_name.h"

#include <stdio.h>
#include <string.h>

#include "base/mbtext.h"

int set_aside_name(const char *short_name, int number, char *name, size_t size) {
    int length = snprintf(name, size, "%s_del%d.tmp", short_name ? short_name : "", number);
    if (length > 0 && (size_t)length < size) return 1;
    if (size) name[0] = '\0';
    return 0;
}

int is_set_aside_name(const char *short_name, const char *name) {
    size_t prefix = short_name ? strlen(short_name) : 0;
    if (prefix && !mb_prefix_equal_nocase(name, short_name, prefix)) return 0;
    const char *rest = name + prefix;
    if (!mb_prefix_equal_nocase(rest, "_del", 4)) return 0;
    const char *digit = rest + 4;
    const char *end = digit;
    while (*end >= '0' && *end <= '9') ++end;
    return end > digit && mb_equal_nocase(end, ".tmp");
}
