#include "inventory/driver_key_inf.h"

#include "base/mbtext.h"
#include "base/path_text.h"
#include "base/reg_helpers.h"
#include "base/text_buffer.h"

#define INF_NAME_SIZE 128
#define PROVIDER_NAME_SIZE 1024

namespace {

int has_product_marker(HKEY driver_key, const char *product_guid) {
    // An empty name would open the driver key itself and mark every driver key.
    if (!product_guid || !product_guid[0]) return 0;
    HKEY marker;
    if (RegOpenKeyExA(driver_key, product_guid, 0, KEY_READ, &marker) != ERROR_SUCCESS) return 0;
    RegCloseKey(marker);
    return 1;
}

int belongs_to_product(HKEY driver_key, int family, const char *product_guid,
                       const char *inf_name) {
    if (has_product_marker(driver_key, product_guid)) return 1;
    char provider[PROVIDER_NAME_SIZE];
    if (!reg_read_string_at(driver_key, "ProviderName", provider, sizeof provider)) return 0;
    if (mb_equal_nocase(provider, "Microsoft")) return 0;
    // The NT family names every copy of a third-party INF "oem<n>.inf".
    return family != INF_COPIES_NT || mb_prefix_equal_nocase(inf_name, "OEM", 3);
}

}  // namespace

int driver_key_inf(HKEY driver_key, int family, const char *product_guid, const char *windows_dir,
                   char *inf_path, size_t size) {
    // A value that does not fit is not read (and never cut into another file's name).
    char inf_name[INF_NAME_SIZE];
    reg_read_string_at(driver_key, "InfPath", inf_name, sizeof inf_name);
    if (!belongs_to_product(driver_key, family, product_guid, inf_name)) return 0;
    if (!is_bare_file_name(inf_name)) return 0;
    const char *folder = family == INF_COPIES_NT ? "\\inf\\" : "\\inf\\other\\";
    return text_join(inf_path, size, windows_dir, folder, inf_name);
}
