#include "hardening/machine_generator.h"

#include <cctype>
#include <cstdio>
#include <random>
#include <vector>

#include "base/os_class.h"
#include "base/profile.h"
#include "sim/device_tree.h"
#include "support/device_machine.h"

namespace {

const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kTavo = "Software\\TAVO\\";
const std::string kServices = "System\\CurrentControlSet\\Services\\";
const std::string kUsbFlags = "System\\CurrentControlSet\\Control\\UsbFlags";
const std::string kOemName = "Software\\Microsoft\\Windows\\CurrentVersion\\Setup\\SetupX\\INF\\OEM Name";
const std::string kLegacyClass = "System\\CurrentControlSet\\Services\\Class\\";
const std::string kInstall = "C:\\Program Files\\halvenor\\K440dT";
const std::string kWindows = "C:\\WINDOWS";
const char *const kUsbClass = "{36FC9E60-C465-11CF-8056-444553540000}";

std::string lower(std::string text) {
    for (char &c : text) c = (char)tolower((unsigned char)c);
    return text;
}

std::string hex4(unsigned n) {
    char b[8];
    std::snprintf(b, sizeof b, "%04X", n & 0xFFFF);
    return b;
}

class Planter {
  public:
    Planter(sim::Machine &m, sim::Process &p, int os_class, uint32_t seed)
        : m_(m), process_(p), rng_(seed), nt_(os_class >= OS_FIRST_NT) {
        out_.os_class = os_class;
    }

    GeneratedMachine plant() {
        m_.set_os_class(out_.os_class);
        m_.windows_dir = kWindows;
        process_.module_path = kInstall + "\\K440dTUn.exe";
        m_.files.write_file(process_.module_path, "program");
        out_.may_change_files.insert(process_.module_path);
        out_.may_change_files.insert(kInstall + "\\K440dT_del0.tmp");  // where NT sets it aside
        uninstall_records();
        product_records();
        driver_files();
        install_folder();
        inf_look_alikes();
        unrelated_services();
        usb_flags();
        if (nt_) {
            nt_services();
            nt_devices();
        } else {
            legacy_devices();
            legacy_oem_names();
            legacy_index_files();
        }
        other_vendor_keys();
        classify_fixed_files();
        return out_;
    }

  private:
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
    int number(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    template <class T> const T &pick(const std::vector<T> &v) { return v[number(0, (int)v.size() - 1)]; }
    std::string random_case(std::string text) {
        for (char &c : text)
            if (chance(0.3)) c = (char)(isupper((unsigned char)c) ? tolower(c) : toupper(c));
        return text;
    }
    std::string guid() {
        char b[40];
        std::snprintf(b, sizeof b, "{%08X-%04X-%04X-%04X-%04X%08X}", (unsigned)rng_(), number(0, 0xFFFF),
                      number(0, 0xFFFF), number(0, 0xFFFF), number(0, 0xFFFF), (unsigned)rng_());
        return b;
    }

    // Files: `product` marks one that the run deletes.
    void file(const std::string &path, bool product, const std::string &content = "data") {
        if (!planted_lower_.insert(lower(path)).second) return;  // each path is planted once
        DWORD attributes = chance(0.2) ? 0x21 : 0x20;  // some read-only
        m_.files.write_file(path, content, attributes);
        planted_files_.push_back(path);
        if (product)
            out_.product_files.insert(path);
        else
            ++out_.unrelated_files;
    }
    void unrelated_key(const std::string &path, const std::string &value, const std::string &text) {
        m_.registry.set_string(path, value, text);
        ++out_.unrelated_keys;
    }
    void product_key(const std::string &path) {
        m_.registry.create(path);
        out_.product_keys.insert(path);
    }

    void uninstall_records() {
        int others = number(5, 30);
        for (int i = 0; i < others; ++i) {
            std::string name = "App" + std::to_string(i);
            std::vector<std::string> commands = {
                "C:\\Program Files\\" + name + "\\uninst.exe",
                kInstall + "\\K440dTUn.exe.old",
                "C:\\Program Files\\halvenor\\K440dT2\\K440dTUn2.exe",
                "K440dTUn.exe",  // no folder part: names no program file
                "\"" + kInstall + "\\K440dTUn.exe\" -remove",
            };
            if (chance(0.1)) {
                m_.registry.create(kUninstall + name);
                ++out_.unrelated_keys;
            } else {
                unrelated_key(kUninstall + name, "UninstallString", pick(commands));
            }
            if (chance(0.3)) m_.registry.set_string(kUninstall + name, "DisplayName", "K440dT tools " + name);
        }
        if (!chance(0.85)) return;
        std::string key = kUninstall + pick(std::vector<std::string>{"K440dT handset", "K440dT", kGuidText()});
        product_key(key);
        m_.registry.set_string(key, "DisplayName", "K440dT handset");
        m_.registry.set_string(key, "UninstallString", random_case(kInstall + "\\K440dTUn.exe"));
    }
    static std::string kGuidText() { return builtin_profile()->product_guid; }

    void product_records() {
        std::string guid_text = kGuidText();
        std::vector<std::string> near = {"{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B6}",
                                         "{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}x", guid()};
        for (int i = number(1, 3); i > 0; --i) {
            std::string key = kTavo + pick(near);
            if (m_.registry.find(key)) continue;
            unrelated_key(key, "InstallPath", "C:\\Program Files\\halvenor\\Other");
            m_.registry.set_string(key, "0000", kWindows + "\\system32\\drivers\\K440dTuc.sys");
            m_.registry.set_string(key, "VIDPID0000", "04BB/0001");
        }
        ids_ = {"0000", "FFFF/0001"};
        if (!chance(0.8)) return;
        std::string key = kTavo + guid_text;
        product_key(key);
        m_.registry.create(key + "\\Components");
        if (chance(0.85)) {
            m_.registry.set_string(key, "InstallPath", kInstall);
            sweep_ = true;
        }
        int n = 0;
        auto file_value = [&](const std::string &path) {
            char name[8];
            std::snprintf(name, sizeof name, "%4.4x", n++);
            m_.registry.set_string(key, name, path);
        };
        if (chance(0.7)) {
            std::string dll = kWindows + "\\system32\\K440dTIN.dll";
            file_value(dll);
            file(dll, true);
        }
        if (chance(0.6)) {
            std::string inf = "oem" + std::to_string(next_oem_++);
            file_value(kWindows + "\\inf\\" + inf + ".inf");
            file(kWindows + "\\inf\\" + inf + ".inf", true, "[Version]\r\n");
            // Only the NT family has PNF twins; on 98/ME a file of that name is not the record's.
            file(kWindows + "\\inf\\" + inf + ".PNF", nt_, "pnf");
        }
        if (chance(0.3)) file_value(kWindows + "\\system32\\K440dTgone.sys");  // already gone
        if (chance(0.5)) {
            ids_.clear();
            std::vector<std::string> record_ids = {"FFFF/0001"};
            if (chance(0.5)) record_ids.push_back("0A2B/01C3");
            for (size_t i = 0; i < record_ids.size(); ++i) {
                char name[16];
                std::snprintf(name, sizeof name, "VIDPID%4.4x", (unsigned)i);
                m_.registry.set_string(key, name, record_ids[i]);
                ids_.push_back(record_ids[i]);
            }
        }
    }
    bool has_id(const std::string &id) const {
        for (const std::string &i : ids_)
            if (i == id) return true;
        return false;
    }

    // Each listed driver file in one or two of the system folders; the first folder searched
    // that holds it gives the file the run deletes.
    void driver_files() {
        std::vector<std::string> dirs =
            nt_ ? std::vector<std::string>{"system32\\drivers", "system32"}
                : std::vector<std::string>{"SYSTEM", "SYSTEM32", "SYSTEM32\\DRIVERS", "SYSTEM\\IOSUBSYS",
                                           "SYSTEM\\VMM32"};
        for (int d = 0; d < (int)dirs.size(); ++d) m_.files.make_dir(kWindows + "\\" + dirs[d]);
        text_list files = builtin_profile()->driver_files;
        for (int i = 0; files[i]; ++i) {
            std::string name = files[i];
            if (chance(0.6)) {
                std::vector<int> in;
                in.push_back(number(0, (int)dirs.size() - 1));
                if (chance(0.3)) in.push_back(number(0, (int)dirs.size() - 1));
                int first = in[0] < in.back() ? in[0] : in.back();
                for (size_t k = 0; k < in.size(); ++k) {
                    if (k == 1 && in[1] == in[0]) break;
                    file(kWindows + "\\" + dirs[in[k]] + "\\" + random_case(name), in[k] == first);
                }
            }
            if (chance(0.3)) file(kWindows + "\\" + pick(dirs) + "\\" + name + pick(std::vector<std::string>{".bak", ".old", "x"}), false);
            if (chance(0.1)) file("C:\\Temp\\" + name, false);
            if (chance(0.1)) file(kWindows + "\\" + name, false);
            if (chance(0.1)) file(kWindows + "\\" + dirs[0] + "\\old\\" + name, false);
        }
        file(kWindows + "\\" + dirs[0] + "\\K440dTxx.sys", false);
        for (int i = number(5, 30); i > 0; --i) file(kWindows + "\\" + pick(dirs) + "\\drv" + std::to_string(i) + ".sys", false);
    }

    void install_folder() {
        for (const char *name : {"readme.txt", "setup.ini", "K440dT helper.dll", "K440dTIN.dll", "noext"})
            if (chance(0.7)) file(kInstall + "\\" + name, sweep_);
        if (chance(0.5)) {
            // A subfolder goes only at the restart; it and its files stay through the run.
            m_.files.make_dir(kInstall + "\\Drivers");
            file(kInstall + "\\Drivers\\K440dTuc.sys", false);
        }
        // Folders customised by desktop.ini carry read-only or system; the sweep must leave the
        // attributes of the install folder and of the folder above it as they are.
        if (chance(0.5)) m_.files.find("C:\\Program Files\\halvenor")->attributes = chance(0.5) ? 0x11 : 0x14;
        if (chance(0.3)) m_.files.find(kInstall)->attributes = 0x11;
        file("C:\\Program Files\\halvenor\\K440dT2\\readme.txt", false);
        file("C:\\Program Files\\halvenor\\Other\\K440dTUn.exe", false);
        file("C:\\Program Files\\halvenor\\K440dT.txt", false);
    }

    void inf_look_alikes() {
        std::string inf = kWindows + "\\inf\\";
        m_.files.make_dir(inf + "other");
        for (int i = number(3, 15); i > 0; --i) {
            std::string name = "oem" + std::to_string(next_oem_++);
            file(inf + name + ".inf", false,
                 inf_text("uninstallable", "USB\\VID_1234&PID_" + hex4(number(1, 0xFFFF))));
            if (chance(0.8)) file(inf + name + ".PNF", false, "pnf");
        }
        file(inf + "usb.inf", false, inf_text(0, "USB\\ROOT_HUB"));
        file(inf + "K440dTuc.inf.bak", false);
        file(inf + "other\\K440dTuc.inf", false);
        // The fixed list names these wherever they stand in this Windows directory.
        for (const char *name : {"K440dTuc.inf", "K440dTuc.PNF", "K440dTob.inf", "K440dTat.INF"})
            if (chance(0.4)) file(inf + name, true);
    }

    void unrelated_services() {
        text_list files = builtin_profile()->driver_files;
        for (int i = number(20, 80); i > 0; --i) {
            std::string key = kServices + "Svc" + std::to_string(i);
            std::string listed = files[number(0, 16)];
            std::vector<std::string> images = {
                "System32\\DRIVERS\\svc" + std::to_string(i) + ".sys",
                "System32\\DRIVERS\\" + listed + ".old",
                listed,  // a bare file name: no folder part, no driver of the set
                "System32\\DRIVERS\\K440dTux.sys",
                "\\SystemRoot\\System32\\K440dT.sys",
                "System32\\DRIVERS\\" + listed + " ",
            };
            if (chance(0.1)) {
                m_.registry.set_dword(key, "ImagePath", 1);  // not a text: read as missing
                ++out_.unrelated_keys;
            } else if (chance(0.1)) {
                m_.registry.set_dword(key, "Start", 3);
                ++out_.unrelated_keys;
            } else {
                unrelated_key(key, "ImagePath", pick(images));
            }
            // On 98/ME no service key is looked at: even the set's own names stay there.
            if (!nt_ && chance(0.2))
                unrelated_key(key + "x", "ImagePath", "System32\\DRIVERS\\" + listed);
        }
    }

    void nt_services() {
        text_list files = builtin_profile()->driver_files;
        std::vector<std::string> prefixes = {"System32\\DRIVERS\\", "\\SystemRoot\\System32\\Drivers\\",
                                             "system32\\drivers\\"};
        for (int i = number(0, 4); i > 0; --i) {
            std::string key = kServices + "K440dTsvc" + std::to_string(i);
            product_key(key);
            m_.registry.set_string(key, "ImagePath", pick(prefixes) + random_case(files[number(0, 16)]));
            m_.registry.set_dword(key, "Type", 1);
            if (chance(0.5)) m_.registry.set_string(key + "\\Enum", "0", "USB\\Vid_ffff&Pid_0001\\6&1");
            if (chance(0.5)) m_.registry.set_string(key + "\\Parameters\\Ports", "Port0", "COM5");
        }
    }

    void usb_flags() {
        for (const char *name : {"IgnoreHWSerNum04BB0001", "IgnoreHWSerNumFFFF0002", "IgnoreHWSerNumFFFE0001",
                                 "GlobalDisableSerNumGen"})
            m_.registry.set_value(kUsbFlags, name, 3, {1});
        ++out_.unrelated_keys;
        for (const char *id : {"FFFF/0001", "0A2B/01C3"}) {
            if (!chance(0.7)) continue;
            std::string name = std::string("IgnoreHWSerNum") + std::string(id).substr(0, 4) + std::string(id).substr(5);
            m_.registry.set_value(kUsbFlags, name, 3, {1});
            if (nt_ && has_id(id)) out_.product_values.insert({kUsbFlags, name});
        }
    }

    // The driver key of a device: whether its INF copy counts as the product's follows the
    // marker subkey, or a provider other than Microsoft with an OEM copy's name.
    void nt_device(const std::string &instance_id, const std::vector<std::string> &hardware_ids,
                   const char *device_class, bool product) {
        DriverKeyPlan plan;
        int kind = number(0, 4);
        std::string inf = "oem" + std::to_string(next_oem_++) + ".inf";
        if (kind == 0) {
            plan.marker = product;
            plan.provider = "Microsoft";
            plan.inf_path = inf;
        } else if (kind == 1) {
            plan.provider = product ? "Halvenor" : "Other Corp";
            plan.inf_path = inf;
        } else if (kind == 2) {
            plan.provider = "Microsoft";
            plan.inf_path = inf;
        } else if (kind == 3) {
            plan.provider = "Halvenor";
            plan.inf_path = "K440dTm" + std::to_string(next_oem_) + ".inf";  // no OEM copy's name
        }
        bool inf_goes = product && (kind == 0 || kind == 1);
        std::string number_text = hex4(next_instance_++);
        sim::Device &d = plant_device_with_driver(m_, instance_id, hardware_ids, device_class,
                                                  number_text, plan, chance(0.3));
        // A product device exposes the product's interface but is not attached: an attached
        // handset stops the run before anything is removed.
        if (product && chance(0.3)) {
            d.present = false;
            add_product_interface(d);
        }
        ++out_.devices;
        if (!plan.inf_path.empty() && chance(0.8)) {
            std::string path = kWindows + "\\inf\\" + plan.inf_path;
            file(path, inf_goes, inf_text("uninstallable", hardware_ids[0]));
            file(path.substr(0, path.rfind('.')) + ".PNF", inf_goes, "pnf");
        }
        std::string driver_key = std::string(sim::CLASS_ROOT) + "\\" + device_class + "\\" + number_text;
        if (product) {
            out_.product_keys.insert(driver_key);
            std::string device_key = instance_id.substr(0, instance_id.rfind('\\'));
            out_.product_keys.insert(std::string(sim::ENUM_ROOT) + "\\" + device_key);
        } else {
            ++out_.unrelated_keys;
        }
    }

    void nt_devices() {
        next_instance_ = number(0, 20);
        nt_device("USB\\ROOT_HUB\\4&1", {"USB\\ROOT_HUB"}, kUsbClass, false);
        nt_device("ROOT\\*PNP0501\\0000", {"*PNP0501"}, PORTS_CLASS, false);
        std::vector<std::string> others = {"VID_FFFF&PID_0002", "VID_FFFE&PID_0001", "VID_04BB&PID_0001",
                                           "VID_0A2B&PID_01C4", "VID_1234&PID_5678"};
        if (!has_id("0A2B/01C3")) others.push_back("VID_0A2B&PID_01C3");
        for (int i = number(3, 15); i > 0; --i) {
            std::string id = chance(0.5) ? pick(others)
                                         : "VID_" + hex4(number(1, 0xFFFE)) + "&PID_" + hex4(number(0, 0xFFFF));
            if (lower(id) == "vid_ffff&pid_0001" || lower(id) == "vid_0a2b&pid_01c3") continue;
            nt_device("USB\\" + id + "\\5&" + std::to_string(i), {"USB\\" + id + "&REV_0001", "USB\\" + id},
                      chance(0.5) ? MODEM_CLASS : PORTS_CLASS, false);
        }
        nt_device("ROOT\\K440DTC\\0000", {"ROOT\\K440dTC"}, PORTS_CLASS, false);
        nt_device("ROOT\\K440DT_CR\\0000", {"ROOT\\K440DT_CR"}, PORTS_CLASS, false);
        if (has_id("FFFF/0001"))
            for (int mi = 0; mi < 3; ++mi) {
                if (!chance(0.5)) continue;
                std::string id = "VID_FFFF&PID_0001&MI_0" + std::to_string(mi);
                nt_device("USB\\" + id + "\\6&2f3a&0&" + std::to_string(mi),
                          {"USB\\VID_FFFF&PID_0001&REV_0100&MI_0" + std::to_string(mi), "USB\\" + id},
                          mi == 0 ? MODEM_CLASS : PORTS_CLASS, true);
            }
        if (has_id("0A2B/01C3") && chance(0.5))
            nt_device("USB\\VID_0A2B&PID_01C3\\7&1", {"USB\\VID_0A2B&PID_01C3&REV_0001"}, MODEM_CLASS, true);
        if (chance(0.5)) nt_device("ROOT\\K440DTCR\\0000", {"ROOT\\K440dTCR"}, PORTS_CLASS, true);
    }

    // A Windows 98/ME device instance with its driver key below the class root.
    struct LegacyDriver {
        std::string text;  // the "Driver" value; empty: none
        bool queued = false;
    };
    LegacyDriver legacy_driver(bool product) {
        LegacyDriver d;
        std::string cls = pick(std::vector<std::string>{"Modem", "Ports", "MEDIA", "USB"});
        d.text = cls + "\\" + hex4(next_instance_++);
        std::string key = kLegacyClass + d.text;
        int kind = number(0, 4);
        std::string inf = (product ? "Orvane TelK440dT" : "Other") + std::to_string(next_oem_++) + ".INF";
        m_.registry.set_string(kLegacyClass + cls, "Class", cls);
        if (kind == 0) {
            m_.registry.set_string(key, "ProviderName", "Microsoft");
            m_.registry.set_string(key, "InfPath", inf);
            if (product) m_.registry.create(key + "\\" + kGuidText());
        } else if (kind == 1) {
            m_.registry.set_string(key, "ProviderName", product ? "Orvane Tel,Inc." : "Microsoft");
            m_.registry.set_string(key, "InfPath", inf);
        } else if (kind == 2) {
            m_.registry.set_string(key, "InfPath", inf);  // no provider: not the product's INF
        } else if (kind == 3) {
            m_.registry.set_string(key, "ProviderName", "Microsoft");
        } else if (product && chance(0.5)) {
            d.text = pick(std::vector<std::string>{"", cls, cls + "\\", "\\" + cls});  // names no driver key
            return d;
        } else {
            m_.registry.set_string(key, "DriverDesc", "device");
        }
        if (product) {
            out_.product_keys.insert(key);
            d.queued = true;
        } else {
            ++out_.unrelated_keys;
        }
        if (kind <= 2 && chance(0.8))
            file(kWindows + "\\INF\\OTHER\\" + inf, product && kind <= 1, "[Version]\r\n");
        return d;
    }
    void legacy_instance(const std::string &device_key, const std::string &instance,
                         const std::string &hardware_id, bool product) {
        std::string key = device_key + "\\" + instance;
        m_.registry.set_string(key, "HardwareId", hardware_id);
        LegacyDriver driver = legacy_driver(product);
        if (!driver.text.empty() || chance(0.5)) m_.registry.set_string(key, "Driver", driver.text);
        ++out_.devices;
    }
    void legacy_device(const std::string &device_key, const std::string &hardware_id, bool product) {
        for (int i = number(1, 2); i > 0; --i) legacy_instance(device_key, std::to_string(i) + "&0", hardware_id, product);
        if (product)
            out_.product_keys.insert(device_key);
        else
            ++out_.unrelated_keys;
    }

    void legacy_devices() {
        next_instance_ = number(0, 20);
        bool me = out_.os_class == OS_WINME;
        legacy_device("Enum\\USB\\ROOT_HUB", "USB\\ROOT_HUB", false);
        legacy_device("Enum\\Root\\*PNP0500", "*PNP0500", false);
        legacy_device("Enum\\Root\\K440dTCRX", "Root\\K440dTCRX", false);
        legacy_device("Enum\\Root\\K440dTC", "Root\\K440dTC", false);
        legacy_device("Enum\\PCI\\VEN_8086&DEV_7110", "PCI\\VEN_8086&DEV_7110", false);
        legacy_device("Enum\\USBSTOR\\DISK&VEN_OTHER", "USBSTOR\\DiskOther_Stick", false);
        legacy_device("Enum\\K440dTC\\MODEM", "K440dTC\\MODEM", false);
        std::vector<std::string> others = {"VID_FFFF&PID_0002", "VID_FFFE&PID_0001", "VID_04BB&PID_0001",
                                           "VID_0A2B&PID_01C4", "VEN_FFFF&DEV_0001"};
        if (!has_id("0A2B/01C3")) others.push_back("VID_0A2B&PID_01C3");
        for (int i = number(2, 8); i > 0; --i) {
            std::string id = pick(others);
            if (!m_.registry.find("Enum\\USB\\" + id)) legacy_device("Enum\\USB\\" + id, "USB\\" + id, false);
        }
        if (chance(0.6)) {
            product_key("Enum\\K440dTCR");
            for (const char *function : {"MODEM", "PORTS"})
                if (chance(0.7)) legacy_instance(std::string("Enum\\K440dTCR\\") + function, "0000",
                                                 std::string("K440dTCR\\") + function, true);
        }
        if (chance(0.5)) legacy_device("Enum\\Root\\K440dTCR", "Root\\K440dTCR", true);
        if (chance(0.2)) legacy_device("Enum\\SW\\K440dTCR", "SW\\K440dTCR", true);
        if (has_id("FFFF/0001")) {
            if (chance(0.6)) legacy_device("Enum\\USB\\" + random_case("VID_FFFF&PID_0001"), "USB\\VID_FFFF&PID_0001", true);
            if (chance(0.4)) legacy_device("Enum\\USB\\VID_FFFF&PID_0001&MI_00", "USB\\VID_FFFF&PID_0001&MI_00", true);
        }
        if (has_id("0000") && chance(0.3)) legacy_device("Enum\\USB\\VID_0000&PID_1234", "USB\\VID_0000&PID_1234", true);
        if (has_id("0A2B/01C3") && chance(0.5)) legacy_device("Enum\\USB\\VID_0A2B&PID_01C3", "USB\\VID_0A2B&PID_01C3", true);
        if (chance(0.5)) legacy_device("Enum\\PCI\\VEN_1234&DEV_5678", random_case("PCI\\VEN_1234&DEV_5678&K440dTCR"), true);
        if (chance(0.5)) legacy_device("Enum\\TAVOCEB\\PHONE", "TAVOCEB\\K440dTCR", true);
        // Storage of the handset is searched on Windows ME only.
        if (chance(0.5)) legacy_device("Enum\\USBSTOR\\DISK&VEN_ORVANE", "USBSTOR\\DiskOrvane_K440dTCR", me);
        for (int i = number(3, 10); i > 0; --i) {
            std::string cls = pick(std::vector<std::string>{"Modem", "Ports", "MEDIA"});
            std::string key = kLegacyClass + cls + "\\" + hex4(next_instance_++);
            unrelated_key(key, "ProviderName", pick(std::vector<std::string>{"Microsoft", "Other Corp", "Orvane Tel,Inc."}));
        }
    }

    void legacy_oem_names() {
        for (const char *name : {"OTHERMDM.INF", "K440.INF", "K44dT.INF", "Orvane TelK440d.INF"})
            m_.registry.set_string(kOemName, name, name);
        ++out_.unrelated_keys;
        for (const char *name : {"Orvane TelK440dTmd.INF", "k440dtuc.inf", "ORVANE TELK440DTPT.INF"})
            if (chance(0.6)) {
                m_.registry.set_string(kOemName, name, name);
                out_.product_values.insert({kOemName, name});
            }
    }

    void legacy_index_files() {
        m_.files.make_dir(kWindows + "\\INF\\OTHER");
        for (const char *name : {"drvidx.bin", "drvdata.bin"})
            if (chance(0.8)) file(kWindows + "\\INF\\" + name, true);
        file(kWindows + "\\INF\\drvidx.bin.old", false);
        std::string wininit = kWindows + "\\wininit.ini";
        if (chance(0.5)) {
            file("C:\\TEMP\\OTHERAPP.TMP", false);
            m_.files.write_file(wininit, "[Rename]\r\nNUL=C:\\TEMP\\OTHERAPP.TMP\r\n");
        }
        out_.may_change_files.insert(wininit);
    }

    void other_vendor_keys() {
        unrelated_key("Software\\Halvenor\\K440dT", "Version", "1.0");
        unrelated_key("Software\\Microsoft\\Windows\\CurrentVersion\\Run", "K440dT", kInstall + "\\K440dTIN.exe");
        unrelated_key("Software\\TAVO", "Vendor", "TAVO");
        for (int i = number(5, 40); i > 0; --i)
            unrelated_key("Software\\Vendor" + std::to_string(i % 7) + "\\K440dT" + std::to_string(i), "Path",
                          kWindows + "\\system32\\drivers\\K440dTuc.sys");
    }

    // The profile's fixed list is deleted by its full paths, whatever else a file is.
    void classify_fixed_files() {
        text_list fixed = builtin_profile()->fixed_files;
        for (const std::string &path : planted_files_)
            for (int i = 0; fixed[i]; ++i)
                if (lower(path) == lower(fixed[i]) && !out_.product_files.count(path)) {
                    out_.product_files.insert(path);
                    --out_.unrelated_files;
                }
    }

    sim::Machine &m_;
    sim::Process &process_;
    std::mt19937 rng_;
    bool nt_;
    GeneratedMachine out_;
    std::vector<std::string> ids_;
    std::vector<std::string> planted_files_;
    std::set<std::string> planted_lower_;
    bool sweep_ = false;
    int next_oem_ = 0;
    unsigned next_instance_ = 0;
};

}  // namespace

GeneratedMachine generate_machine(sim::Machine &machine, sim::Process &process, int os_class,
                                  uint32_t seed) {
    Planter planter(machine, process, os_class, seed);
    return planter.plant();
}
