// The registry readers on values of every type and size: the first byte picks the type, the
// second the reader's buffer size, the rest is the value's data; names come from the data too.
#include <cstring>
#include <vector>

#include "base/reg_helpers.h"
#include "fuzz_machine.h"
#include "sim/code_page.h"

namespace {

// The same data as a text the NT family keeps in Unicode (pairs of bytes as UTF-16 units),
// stored with or without its terminator: what is read must be the stored text up to its first
// terminator, never its best-fit look-alike.
void read_as_unicode(sim::Machine &machine, const uint8_t *data, size_t size, DWORD buffer_size,
                     bool terminated) {
    std::u16string stored;
    for (size_t i = 0; i + 1 < size; i += 2) stored.push_back((char16_t)(data[i] | data[i + 1] << 8));
    machine.registry.set_unicode_string("Software\\F", "w", REG_SZ, stored, terminated);
    std::vector<char> buffer(buffer_size, 'Q');
    if (!reg_read_string("Software\\F", "w", buffer.data(), buffer_size)) return;
    if (std::memchr(buffer.data(), 0, buffer_size) == nullptr) __builtin_trap();
    std::u16string read;
    if (!sim::ansi_to_unicode(buffer.data(), &read)) __builtin_trap();
    if (read != stored.substr(0, stored.find(u'\0'))) __builtin_trap();
}

}  // namespace

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
    read_as_unicode(machine, data + 2, size - 2, buffer_size, data[0] & 0x10);
    string_list_entry *list = 0;
    reg_list_values("Software\\F", &list);
    reg_list_subkeys("Software\\F", &list);
    for (string_list_entry *e = list; e; e = e->next)
        if (std::strlen(e->text) >= LIST_TEXT_SIZE) __builtin_trap();
    free_string_list(list);
    return 0;
}
