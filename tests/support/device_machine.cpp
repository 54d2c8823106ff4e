#include "support/device_machine.h"

#include "base/run_record.h"
#include "sim/registry_api.h"

const char *const PRODUCT_GUID = "{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}";
const char *const MODEM_CLASS = "{4D36E96D-E325-11CE-BFC1-08002BE10318}";
const char *const PORTS_CLASS = "{4D36E978-E325-11CE-BFC1-08002BE10318}";

sim::Device &plant_device_with_driver(sim::Machine &machine, const std::string &instance_id,
                                      const std::vector<std::string> &hardware_ids,
                                      const char *device_class, const std::string &instance_number,
                                      const DriverKeyPlan &plan, bool present) {
    sim::Device d;
    d.instance_id = instance_id;
    d.hardware_ids = hardware_ids;
    d.device_class = sim::make_guid(device_class);
    d.present = present;
    if (!instance_number.empty()) {
        d.driver_key = std::string(device_class) + "\\" + instance_number;
        std::string key = std::string(sim::CLASS_ROOT) + "\\" + d.driver_key;
        machine.registry.create(key);
        if (!plan.inf_path.empty()) machine.registry.set_string(key, "InfPath", plan.inf_path);
        if (!plan.provider.empty()) machine.registry.set_string(key, "ProviderName", plan.provider);
        if (plan.marker) machine.registry.create(key + "\\" + PRODUCT_GUID);
    }
    return sim::plant_device(machine, d);
}

void add_product_interface(sim::Device &device) {
    sim::DeviceInterface i;
    i.interface_class = sim::make_guid(PRODUCT_GUID);
    device.interfaces.push_back(i);
}

std::string inf_text(const char *options, const std::string &hardware_ids, const char *signature,
                     const char *catalog) {
    std::string text = "[Version]\r\nSignature=\"" + std::string(signature) + "\"\r\nClass=Modem\r\n" +
                       (catalog ? "CatalogFile=" + std::string(catalog) + "\r\n" : "") +
                       "\r\n[Manufacturer]\r\n%Mfg%=Models\r\n\r\n[Models]\r\n"
                       "%Desc%=Install, " + hardware_ids + "\r\n\r\n[Strings]\r\nMfg=\"Halvenor\"\r\n"
                       "Desc=\"Handset modem\"\r\n";
    if (options) text += "TAVOOptions=\"" + std::string(options) + "\"\r\n";
    return text;
}

void plant_inf(sim::Machine &machine, const std::string &name, const std::string &text, bool with_pnf) {
    machine.files.write_file("C:\\WINDOWS\\inf\\" + name, text);
    if (!with_pnf) return;
    std::string stem = name.substr(0, name.rfind('.'));
    machine.files.write_file("C:\\WINDOWS\\inf\\" + stem + ".pnf", "PNF");
}

void push_all(string_list_entry **list, const std::vector<std::string> &texts) {
    for (const std::string &t : texts) push_string(list, t.c_str());
}

std::vector<std::string> texts_of(const string_list_entry *list) {
    std::vector<std::string> out;
    for (; list; list = list->next) out.push_back(list->text);
    return out;
}

void use_builtin_ids(run_record *record) {
    push_all(&record->device_ids, {"0000", "FFFF/0001"});
    push_all(&record->device_names, {"K440dTCR"});
}
