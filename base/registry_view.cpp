#include "base/registry_view.h"

#include "base/mbtext.h"

namespace {

int g_32bit_software_view = 0;

int first_part_is_software(const char *path) {
    static const char software[] = "Software";
    const size_t length = sizeof software - 1;
    return mb_prefix_equal_nocase(path, software, length) &&
           (path[length] == '\0' || path[length] == '\\');
}

}  // namespace

void use_32bit_software_view(int on) { g_32bit_software_view = on; }

REGSAM software_view_access(const char *path) {
    return g_32bit_software_view && path && first_part_is_software(path) ? KEY_WOW64_32KEY : 0;
}
