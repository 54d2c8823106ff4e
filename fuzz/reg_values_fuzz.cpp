// The registry readers on values of every type and size: the first byte picks the type, the
// second the reader's buffer size, the rest is the value's data; names come from the data too.
#include <cstring>
#include <vector>

#include "base/reg_helpers.h"
#include "fuzz_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    sim::Machine &machine = fresh_fuzz_machine();
    if (size < 2) return 0;
    DWORD type = data[0] % 12;
    DWORD buffer_size = 1 + data[1] * 5;
    std::vector<uint8_t> bytes(data + 2, data + size);
    machine.registry.set_value("Software\\F", "v", type, bytes);
    std::string name = input_text(data + 2, size - 2);
    if (!name.empty()) machine.registry.set_string("Software\\F", name, "x");
    if (!name.empty() && name.find('\\') == std::string::npos)
        machine.registry.create("Software\\F\\" + name);
    std::vector<char> buffer(buffer_size, 'Q');
    int read = reg_read_string("Software\\F", "v", buffer.data(), buffer_size);
    // Whatever was read is a terminated text inside the buffer.
    if (read && std::memchr(buffer.data(), 0, buffer_size) == nullptr) __builtin_trap();
    if (!read && buffer[0] != '\0') __builtin_trap();
    string_list_entry *list = 0;
    reg_list_values("Software\\F", &list);
    reg_list_subkeys("Software\\F", &list);
    for (string_list_entry *e = list; e; e = e->next)
        if (std::strlen(e->text) >= LIST_TEXT_SIZE) __builtin_trap();
    free_string_list(list);
    return 0;
}
