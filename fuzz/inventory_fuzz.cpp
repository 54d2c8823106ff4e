// A whole inventory over a fuzzed registry, on an NT or a Windows 98/ME machine: the input
// is decoded into keys and values under every place the inventory reads, and every path it
// queues must be a well-formed path below a place the product owns.
//
// Input: byte 0 picks the OS class; then records of
//   place, shape, [key name], [second], [third key name], [value name, type, data]
// (the shape's bits say which parts follow and whether the data gets a terminator)
// where a name or a data text is either a word of a small dictionary of the product's own
// names (a byte with the high bit set) or up to 63 raw bytes (a length byte and the bytes).
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/os_class.h"
#include "base/profile.h"
#include "base/run_record.h"
#include "fuzz_machine.h"
#include "inventory/collect_inventory.h"
#include "sim/device_tree.h"

namespace {

const char *const kPlaces[] = {
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    "Software\\TAVO",
    "System\\CurrentControlSet\\Services",
    "System\\CurrentControlSet\\Enum\\USB",
    "System\\CurrentControlSet\\Enum\\ROOT",
    "System\\CurrentControlSet\\Control\\Class",
    "Enum",
    "Enum\\Root",
    "Enum\\USB",
    "Enum\\PCI",
    "Enum\\USBSTOR",
    "System\\CurrentControlSet\\Services\\Class",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Setup\\SetupX\\INF\\OEM Name",
    "System\\CurrentControlSet\\Control\\UsbFlags",
};
const size_t kPlaceCount = sizeof kPlaces / sizeof kPlaces[0];

const char *const kWords[] = {
    "{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}",
    "{4D36E96D-E325-11CE-BFC1-08002BE10318}",
    "{4D36E96D-E325-11CE-BFC1-08002BE10318}\\0001",
    "K440dTCR",
    "VID_FFFF&PID_0001",
    "VID_FFFF&PID_0001&MI_00",
    "0000",
    "0001",
    "VIDPID0000",
    "FFFF/0001",
    "UninstallString",
    "C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe",
    "ImagePath",
    "System32\\DRIVERS\\K440dTuc.sys",
    "Driver",
    "Modem\\0003",
    "HardwareId",
    "HardwareID",
    "K440dTCR\\MODEM",
    "InfPath",
    "oem7.inf",
    "ProviderName",
    "Microsoft",
    "InstallPath",
    "UninstallerCmdLineSwitch",
    "-leave_source",
    "K440dT",
    "Orvane TelK440dTmd.INF",
    "ClassGUID",
    "",
    "\\",
    "Modem",
};
const size_t kWordCount = sizeof kWords / sizeof kWords[0];

struct Reader {
    const uint8_t *data;
    size_t size;
    size_t at = 0;
    bool done() const { return at >= size; }
    uint8_t byte() { return at < size ? data[at++] : 0; }
    std::string text() {
        uint8_t b = byte();
        if (b & 0x80) return kWords[(b & 0x7F) % kWordCount];
        std::string out;
        for (size_t n = b & 0x3F; n > 0 && !done(); --n) out += (char)byte();
        return out;
    }
};

// Key names never hold a backslash or a NUL and are never empty on the platform.
std::string key_name(const std::string &raw) {
    std::string out;
    for (char c : raw) out += (c == '\\' || c == '\0') ? '_' : c;
    return out.empty() ? std::string("_") : out;
}

// A key name taken from a dictionary word keeps its backslashes as further levels.
std::string key_part(const std::string &raw) {
    std::string out, part;
    for (size_t i = 0; i <= raw.size(); ++i) {
        if (i == raw.size() || raw[i] == '\\') {
            out += (out.empty() ? "" : "\\") + key_name(part);
            part.clear();
        } else {
            part += raw[i];
        }
    }
    return out;
}

bool has_prefix_nocase(const std::string &text, const std::string &prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (tolower((unsigned char)text[i]) != tolower((unsigned char)prefix[i])) return false;
    return true;
}

int components(const char *text) {
    int parts = 1;
    for (const char *c = text; *c; ++c)
        if (*c == '\\') ++parts;
    return parts;
}

// Not empty, no empty component, no trailing backslash, and terminated inside its buffer.
void check_well_formed(const char *text, size_t buffer_size) {
    if (std::memchr(text, 0, buffer_size) == nullptr) __builtin_trap();
    size_t length = std::strlen(text);
    if (length == 0) __builtin_trap();
    if (text[0] == '\\' || text[length - 1] == '\\') __builtin_trap();
    if (std::strstr(text, "\\\\")) __builtin_trap();
}

// A file to delete is a path from a drive root that Win32 reads as written: every part a name
// (no "." or "..", none ending in a dot or a blank), no '/'. Parts are split per code page
// 932 character, so that a trail byte 0x5C is no separator.
void check_canonical_file(const char *text) {
    if (!std::isalpha((unsigned char)text[0]) || text[1] != ':' || text[2] != '\\') __builtin_trap();
    std::string part;
    for (const char *c = text + 3;; ++c) {
        bool lead = ((unsigned char)*c >= 0x81 && (unsigned char)*c <= 0x9F) ||
                    ((unsigned char)*c >= 0xE0 && (unsigned char)*c <= 0xFC);
        if (lead && c[1]) {
            part += c[0];
            part += c[1];
            ++c;
            continue;
        }
        if (*c == '/') __builtin_trap();
        if (*c == '\\' || !*c) {
            if (part.empty() || part.back() == '.' || part.back() == ' ') __builtin_trap();
            part.clear();
            if (!*c) return;
            continue;
        }
        part += *c;
    }
}

// The key lies strictly below one of the places the product owns keys in.
void check_owned_key(const char *path) {
    struct Owned {
        const char *root;
        int min_parts;  // components of the shortest key the product may own there
        bool exact;     // the root itself is the product's key, nothing else below its parent
    };
    static const Owned owned[] = {
        {"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\", 6, false},
        {"Software\\TAVO\\{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}", 3, true},
        {"System\\CurrentControlSet\\Services\\Class\\", 6, false},
        {"System\\CurrentControlSet\\Services\\", 4, false},
        {"Enum\\", 2, false},
    };
    std::string text(path);
    for (const Owned &o : owned)
        if (has_prefix_nocase(text, o.root)) {
            if (components(path) < o.min_parts) __builtin_trap();
            if (o.exact && text.size() != std::strlen(o.root)) __builtin_trap();
            return;
        }
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    sim::Machine &machine = fresh_fuzz_machine();
    Reader in{data, size};
    static const int classes[] = {OS_WIN98, OS_WIN98_SE, OS_WINME, OS_WIN2000, OS_WINXP, OS_WIN2003};
    int os_class = classes[in.byte() % 6];
    machine.set_os_class(os_class);
    machine.files.make_dir("C:\\WINDOWS\\inf\\other");
    machine.files.make_dir("C:\\WINDOWS\\system32\\drivers");
    machine.files.write_file("C:\\WINDOWS\\system32\\drivers\\K440dTuc.sys", "d");
    for (int records = 0; !in.done() && records < 64; ++records) {
        std::string key = kPlaces[in.byte() % kPlaceCount];
        uint8_t shape = in.byte();
        if (!(shape & 16)) key += "\\" + key_part(in.text());  // else a value of the place itself
        if (shape & 1) key += "\\" + key_part(in.text());
        if (shape & 2) key += "\\" + key_part(in.text());
        machine.registry.create(key);
        if (shape & 4) continue;  // a key without a value
        std::string value_name = in.text();
        for (char &c : value_name)
            if (c == '\0') c = '_';
        DWORD type = in.byte() % 12;
        std::string text = in.text();
        std::vector<uint8_t> bytes(text.begin(), text.end());
        if (shape & 8) bytes.push_back(0);  // most strings carry their terminator
        machine.registry.set_value(key, value_name, type, bytes);
    }
    sim::load_devices_from_enum(machine);

    run_record record;
    std::memset(&record, 0, sizeof record);
    record.profile = builtin_profile();
    record.os_class = os_class;
    collect_inventory(&record);

    for (string_list_entry *k = record.keys_to_delete; k; k = k->next) {
        check_well_formed(k->text, sizeof k->text);
        check_owned_key(k->text);
    }
    for (string_list_entry *f = record.files_to_delete; f; f = f->next) {
        check_well_formed(f->text, sizeof f->text);
        check_canonical_file(f->text);
    }
    for (value_pair_entry *v = record.values_to_delete; v; v = v->next) {
        check_well_formed(v->key_path, sizeof v->key_path);
        if (!v->value_name[0]) __builtin_trap();
    }
    free_run_lists(&record);
    return 0;
}
