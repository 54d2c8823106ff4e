// SetupUninstallOEMInfA as its documentation promises: the call checks whether any installed
// device, attached or not, was installed from the INF (its driver key's "InfPath"); without
// the force flag it then refuses with ERROR_INF_IN_USE_BY_DEVICES; otherwise the INF copy,
// its PNF, its catalog and (Windows Vista and later) its driver-store package are removed.
#include "driver_store.h"

#include <cstdio>
#include <cstring>

#include "device_tree.h"
#include "inf_parser.h"
#include "inf_strings.h"
#include "inf_text.h"
#include "mbcs.h"
#include "registry_api.h"
#include "system_api.h"

using namespace sim;

namespace sim {

const char *const CATROOT_SYSTEM = "system32\\CatRoot\\{F750E6C3-38EE-11D1-85E5-00C04FC295EE}";
const char *const DRIVER_STORE_FOLDER = "System32\\DriverStore\\FileRepository";

bool oem_inf_uninstall_exists() {
    const VersionInfo &v = current_machine().version;
    return !v.query_fails && v.platform == VER_PLATFORM_WIN32_NT &&
           (v.major > 5 || (v.major == 5 && v.minor >= 1));
}

}  // namespace sim

namespace {

bool has_driver_store(const Machine &m) {
    return !m.version.query_fails && m.version.platform == VER_PLATFORM_WIN32_NT && m.version.major >= 6;
}

bool ends_with_nocase(const std::string &text, const char *tail) {
    size_t n = std::strlen(tail);
    return text.size() >= n && equal_nocase(text.substr(text.size() - n), tail);
}

std::string stem_of(const std::string &file_name) {
    size_t dot = file_name.rfind('.');
    return dot == std::string::npos ? file_name : file_name.substr(0, dot);
}

// The catalog named in [Version] by CatalogFile or a decorated CatalogFile.<platform>, as
// SetupAPI reads the file; none when it does not read.
std::string catalog_named_by(const Machine &m, const std::string &inf_path,
                             const std::string &file_bytes) {
    InfFile inf;
    if (parse_inf(inf_text_in_code_page(file_bytes, m.code_page), &inf) != 0) return "";
    const InfSection *version = inf.section("Version");
    if (!version) return "";
    for (const InfLine &line : version->lines) {
        if (!line.has_key || line.fields.empty() || line.fields[0].empty()) continue;
        std::string key = lower(line.key);
        if (key == "catalogfile" || key.compare(0, 12, "catalogfile.") == 0)
            return inf_substitute(InfSource{&inf, inf_path, m.windows_dir}, line.fields[0]);
    }
    return "";
}

std::string read_string_value(RegKey *key, const char *name) {
    RegValue *v = key ? key->value(name) : nullptr;
    if (!v || (v->type != REG_SZ && v->type != REG_EXPAND_SZ)) return "";
    std::string text(v->data.begin(), v->data.end());
    return text.substr(0, text.find('\0'));
}

// A device uses the INF while it is installed (attached or not) and its driver key names it.
bool inf_in_use(Machine &m, const std::string &inf_name) {
    for (const Device &d : m.devices.devices) {
        if (d.removed || d.driver_key.empty()) continue;
        RegKey *driver = m.registry.find(std::string(CLASS_ROOT) + "\\" + d.driver_key);
        if (equal_nocase(read_string_value(driver, "InfPath"), inf_name)) return true;
    }
    return false;
}

// The store package the copy was published from: the folder whose INF the copy repeats.
std::string store_package_of(Machine &m, const std::string &copy_text) {
    std::string repository = m.windows_dir + "\\" + DRIVER_STORE_FOLDER;
    FileNode *root = m.files.find(repository);
    if (!root || !root->is_dir) return "";
    for (const auto &package : root->children) {
        if (!package->is_dir) continue;
        for (const auto &file : package->children)
            if (!file->is_dir && ends_with_nocase(file->name, ".inf") && file->content == copy_text)
                return package->path();
    }
    return "";
}

bool is_administrator(const Token &token) {
    for (const TokenGroup &g : token.groups)
        if (g.sid == "S-1-5-32-544" && !g.deny_only) return true;
    return false;
}

BOOL fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

std::string hash_text(const std::string &text) {
    uint32_t h = 2166136261u;
    for (unsigned char c : text) h = (h ^ c) * 16777619u;
    char out[12];
    std::snprintf(out, sizeof out, "%08x", (unsigned)h);
    return out;
}

}  // namespace

BOOL WINAPI SetupUninstallOEMInfA(PCSTR inf_file_name, DWORD flags, PVOID reserved) {
    std::string name = inf_file_name ? inf_file_name : "(null)";
    record_call("SetupUninstallOEMInfA", name + " " + hex(flags));
    Machine &m = current_machine();
    if (!inf_file_name || reserved) return fail(ERROR_INVALID_PARAMETER);
    if (flags & ~(DWORD)SUOI_FORCEDELETE) return fail(ERROR_INVALID_FLAGS);
    if (!is_administrator(current_process().token)) return fail(ERROR_ACCESS_DENIED);
    // Only a copy the platform made is its to uninstall: oem<n>.inf in the INF directory.
    if (name.find_first_of("\\/:") != std::string::npos || name.size() < 3 ||
        !equal_nocase(name.substr(0, 3), "oem") || !ends_with_nocase(name, ".inf"))
        return fail(ERROR_NOT_AN_INSTALLED_OEM_INF);
    std::string inf_path = m.windows_dir + "\\inf\\" + name;
    FileNode *inf = m.files.find(inf_path);
    if (!inf || inf->is_dir) return fail(ERROR_FILE_NOT_FOUND);
    DWORD error;
    if (m.take_fault("SetupUninstallOEMInfA", name, &error)) return fail(error);
    if (!(flags & SUOI_FORCEDELETE) && inf_in_use(m, name)) return fail(ERROR_INF_IN_USE_BY_DEVICES);

    if (m.oem_inf_uninstall_keeps_files) return TRUE;
    std::string text = inf->content;
    if (has_driver_store(m)) {
        std::string package = store_package_of(m, text);
        if (!package.empty()) m.files.remove(package);
    }
    if (!catalog_named_by(m, inf_path, text).empty())
        m.files.remove(m.windows_dir + "\\" + CATROOT_SYSTEM + "\\" + stem_of(name) + ".cat");
    m.files.remove(m.windows_dir + "\\inf\\" + stem_of(name) + ".pnf");
    m.files.remove(inf_path);
    return TRUE;
}

namespace sim {

PlantedPackage plant_driver_package(Machine &machine, const std::string &copy_name,
                                    const std::string &original_name, const std::string &inf_text) {
    PlantedPackage p;
    p.inf_path = machine.windows_dir + "\\inf\\" + copy_name;
    p.pnf_path = machine.windows_dir + "\\inf\\" + stem_of(copy_name) + ".PNF";
    machine.files.write_file(p.inf_path, inf_text);
    machine.files.write_file(p.pnf_path, "PNF of " + copy_name);
    std::string catalog = catalog_named_by(machine, p.inf_path, inf_text);
    if (!catalog.empty()) {
        p.catalog_path = machine.windows_dir + "\\" + CATROOT_SYSTEM + "\\" + stem_of(copy_name) + ".cat";
        machine.files.write_file(p.catalog_path, "catalog " + catalog);
    }
    if (has_driver_store(machine)) {
        p.store_folder = machine.windows_dir + "\\" + DRIVER_STORE_FOLDER + "\\" + lower(original_name) +
                         "_x86_" + hash_text(inf_text);
        machine.files.write_file(p.store_folder + "\\" + original_name, inf_text);
        if (!catalog.empty()) machine.files.write_file(p.store_folder + "\\" + catalog, "catalog " + catalog);
    }
    return p;
}

}  // namespace sim
