// INF reading on arbitrary INF texts: the options entry and the model lines of one file, read
// through the simulated INF parser.
#include <cstdint>
#include <string>

#include "base/string_list.h"
#include "fuzz_machine.h"
#include "inventory/inf_reading.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    sim::Machine &machine = fresh_fuzz_machine();
    // The bytes as the file holds them, NULs included; the signature is given so that most
    // inputs get past the style check.
    std::string text = "[Version]\nSignature=$Windows NT$\n" +
                       std::string(reinterpret_cast<const char *>(data), size);
    machine.files.write_file("C:\\WINDOWS\\inf\\fuzz.inf", text);
    string_list_entry *ids = 0, *names = 0;
    push_string(&ids, "FFFF/0001");
    push_string(&ids, "0000");
    push_string(&names, "K440dTCR");
    inf_allows_uninstall("C:\\WINDOWS\\inf\\fuzz.inf", 8, 0);
    inf_names_device("C:\\WINDOWS\\inf\\fuzz.inf", ids, names);
    free_string_list(ids);
    free_string_list(names);
    return 0;
}
