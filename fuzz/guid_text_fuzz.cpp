// GUID texts from the registry and from driver-key texts: parse_guid_text on arbitrary
// bytes. A text it accepts must be a GUID text whose fields read back as the same text.
#include <cctype>
#include <cstring>
#include <string>

#include "base/guid_text.h"
#include "fuzz_machine.h"
#include "sim/device_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fresh_fuzz_machine();
    std::string text = input_text(data, size);
    GUID guid;
    std::memset(&guid, 0xA5, sizeof guid);
    int parsed = parse_guid_text(text.c_str(), &guid);
    if (parsed != 0 && parsed != 1) __builtin_trap();
    if (parsed && !guid_text_well_formed(text.c_str())) __builtin_trap();
    if (!parsed) return 0;
    // Accepted: the text is the GUID's own text in either case.
    std::string upper = text;
    for (char &c : upper) c = (char)toupper((unsigned char)c);
    if (sim::guid_text(guid) != upper) __builtin_trap();
    return 0;
}
