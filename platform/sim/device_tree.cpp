#include "device_tree.h"

#include <cstdio>
#include <cstdlib>

#include "mbcs.h"
#include "registry_api.h"

namespace sim {

const char *const ENUM_ROOT = "System\\CurrentControlSet\\Enum";
const char *const CLASS_ROOT = "System\\CurrentControlSet\\Control\\Class";

Device *DeviceTree::find(const std::string &instance_id) {
    for (Device &d : devices)
        if (!d.removed && equal_nocase(d.instance_id, instance_id)) return &d;
    return nullptr;
}

int DeviceTree::live_count() const {
    int count = 0;
    for (const Device &d : devices)
        if (!d.removed) ++count;
    return count;
}

std::string guid_text(const GUID &g) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  (unsigned)g.Data1, (unsigned)g.Data2, (unsigned)g.Data3, g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

namespace {

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool read_hex(const std::string &text, size_t at, size_t digits, uint32_t *out) {
    uint32_t value = 0;
    for (size_t i = 0; i < digits; ++i) {
        int v = hex_value(text[at + i]);
        if (v < 0) return false;
        value = value * 16 + (uint32_t)v;
    }
    *out = value;
    return true;
}

std::vector<uint8_t> multi_string(const std::vector<std::string> &texts) {
    std::vector<uint8_t> data;
    for (const std::string &t : texts) {
        data.insert(data.end(), t.begin(), t.end());
        data.push_back(0);
    }
    data.push_back(0);
    return data;
}

std::string string_value(RegKey *key, const char *name) {
    RegValue *v = key->value(name);
    if (!v || (v->type != REG_SZ && v->type != REG_EXPAND_SZ)) return "";
    std::string text(v->data.begin(), v->data.end());
    size_t end = text.find('\0');
    return end == std::string::npos ? text : text.substr(0, end);
}

std::vector<std::string> multi_value(RegKey *key, const char *name) {
    std::vector<std::string> out;
    RegValue *v = key->value(name);
    if (!v) return out;
    if (v->type == REG_SZ) {
        std::string s = string_value(key, name);
        if (!s.empty()) out.push_back(s);
        return out;
    }
    if (v->type != REG_MULTI_SZ) return out;
    std::string current;
    for (uint8_t b : v->data) {
        if (b) {
            current.push_back((char)b);
            continue;
        }
        if (current.empty()) break;
        out.push_back(current);
        current.clear();
    }
    if (!current.empty()) out.push_back(current);
    return out;
}

}  // namespace

bool parse_guid(const std::string &text, GUID *guid) {
    if (text.size() != 38 || text[0] != '{' || text[37] != '}' || text[9] != '-' ||
        text[14] != '-' || text[19] != '-' || text[24] != '-')
        return false;
    GUID g{};
    uint32_t v;
    if (!read_hex(text, 1, 8, &v)) return false;
    g.Data1 = v;
    if (!read_hex(text, 10, 4, &v)) return false;
    g.Data2 = (uint16_t)v;
    if (!read_hex(text, 15, 4, &v)) return false;
    g.Data3 = (uint16_t)v;
    static const size_t byte_at[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!read_hex(text, byte_at[i], 2, &v)) return false;
        g.Data4[i] = (uint8_t)v;
    }
    *guid = g;
    return true;
}

bool same_guid(const GUID &a, const GUID &b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}

GUID make_guid(const char *text) {
    GUID g{};
    if (!parse_guid(text, &g)) {
        std::fprintf(stderr, "malformed GUID text in a test: %s\n", text);
        std::abort();
    }
    return g;
}

Device &plant_device(Machine &machine, const Device &device) {
    machine.devices.devices.push_back(device);
    std::string key = std::string(ENUM_ROOT) + "\\" + device.instance_id;
    Registry &r = machine.registry;
    r.create(key);
    if (!device.hardware_ids.empty())
        r.set_value(key, "HardwareID", REG_MULTI_SZ, multi_string(device.hardware_ids));
    r.set_string(key, "ClassGUID", guid_text(device.device_class));
    if (!device.driver_key.empty()) r.set_string(key, "Driver", device.driver_key);
    if (!device.description.empty()) r.set_string(key, "DeviceDesc", device.description);
    return machine.devices.devices.back();
}

int load_devices_from_enum(Machine &machine) {
    RegKey *root = machine.registry.find(ENUM_ROOT);
    if (!root) return 0;
    int added = 0;
    for (auto &enumerator : root->subkeys)
        for (auto &device_key : enumerator->subkeys)
            for (auto &instance : device_key->subkeys) {
                RegKey *k = instance.get();
                if (!k->value("HardwareID") && !k->value("ClassGUID")) continue;
                std::string id = enumerator->name + "\\" + device_key->name + "\\" + k->name;
                if (machine.devices.find(id)) continue;
                Device d;
                d.instance_id = id;
                d.hardware_ids = multi_value(k, "HardwareID");
                parse_guid(string_value(k, "ClassGUID"), &d.device_class);
                d.driver_key = string_value(k, "Driver");
                d.description = string_value(k, "DeviceDesc");
                machine.devices.devices.push_back(d);
                ++added;
            }
    return added;
}

void remove_device_instance(Machine &machine, Device &device) {
    Registry &r = machine.registry;
    if (!device.driver_key.empty()) r.remove_tree(std::string(CLASS_ROOT) + "\\" + device.driver_key);
    std::string path = std::string(ENUM_ROOT) + "\\" + device.instance_id;
    r.remove_tree(path);
    // The device key goes with its last instance, as on Windows; the enumerator's key
    // (Enum\USB, Enum\ROOT) stays.
    size_t cut = path.rfind('\\');
    size_t enumerator_end = path.find('\\', std::string(ENUM_ROOT).size() + 1);
    if (cut != std::string::npos && enumerator_end != std::string::npos && cut > enumerator_end) {
        path.resize(cut);
        RegKey *device_key = r.find(path);
        if (device_key && device_key->subkeys.empty() && device_key->values.empty()) r.remove_tree(path);
    }
    device.removed = true;
    device.present = false;
}

}  // namespace sim
