// Device matching on arbitrary hardware ids, device ids, device names and key names.
// Input: fields separated by newlines: hardware id, key name, then list entries.
#include <cstring>
#include <sstream>
#include <vector>

#include "base/device_matching.h"
#include "base/string_list.h"
#include "fuzz_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fresh_fuzz_machine();
    std::string all(reinterpret_cast<const char *>(data), size);
    std::vector<std::string> fields;
    std::istringstream in(all);
    std::string field;
    while (std::getline(in, field, '\n')) fields.push_back(std::string(field.c_str()));
    while (fields.size() < 2) fields.push_back("");
    string_list_entry *ids = 0, *names = 0;
    for (size_t i = 2; i < fields.size(); ++i)
        push_string(i % 2 ? &names : &ids, fields[i].c_str());
    hardware_id_matches(fields[0].c_str(), ids, names);
    hardware_id_matches(fields[0].c_str(), 0, names);
    char key_name[LIST_TEXT_SIZE];
    strncpy(key_name, fields[1].c_str(), sizeof key_name - 1);
    key_name[sizeof key_name - 1] = '\0';
    device_key_matches_ids(key_name, ids);
    free_string_list(ids);
    free_string_list(names);
    return 0;
}
