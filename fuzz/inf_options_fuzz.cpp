// The "TAVOOptions" search of inf_allows_uninstall on arbitrary option texts, on every OS
// class: the input is the text of the entry (quoted or bare, as the first byte picks), in a
// file that is otherwise a plain INF of the NT family.
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_machine.h"
#include "inventory/inf_reading.h"

namespace {

// Windows reads quotes inside a bare value as quoting (and drops them) and joins a line that
// ends in a backslash to the next, so the word may stand in the text split by such marks.
bool mentions_uninstallable(const std::string &text) {
    std::string lower;
    for (char c : text)
        if (!strchr("\"\\ \t\r\n", c)) lower += (char)tolower((unsigned char)c);
    return lower.find("uninstallable") != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    sim::Machine &machine = fresh_fuzz_machine();
    bool quoted = data[0] & 1;
    std::string options(reinterpret_cast<const char *>(data + 1), size - 1);
    std::string text = "[Version]\nSignature=\"$Windows NT$\"\n\n[Strings]\nTAVOOptions=" +
                       std::string(quoted ? "\"" : "") + options + (quoted ? "\"" : "") + "\n";
    const char *path = "C:\\WINDOWS\\inf\\oem1.inf";
    machine.files.write_file(path, text);
    for (int os_class = 0; os_class <= 10; ++os_class) {
        int allows = inf_allows_uninstall(path, os_class, 0);
        if (allows != 0 && allows != 1) __builtin_trap();
        // The word can only come from the entry's own text.
        if (allows && !mentions_uninstallable(options)) __builtin_trap();
        if (inf_allows_uninstall(path, os_class, 1) != 1) __builtin_trap();
    }
    return 0;
}
