// Switch texts from anywhere (command line, product record): parse_options and
// match_os_word on arbitrary bytes, on every OS class, including lone lead bytes of code page
// 932 at the end of a text.
#include <cstring>

#include "base/options.h"
#include "base/run_record.h"
#include "fuzz_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fresh_fuzz_machine();
    std::string text = input_text(data, size);
    for (int os_class = 0; os_class <= 10; ++os_class) {
        run_record record;
        std::memset(&record, 0, sizeof record);
        record.os_class = os_class;
        int rc = parse_options(text.c_str(), &record);
        if (rc != 0 && rc != 8 && rc != 10) __builtin_trap();
        int verdict = -1;
        const char *end = match_os_word(text.c_str(), os_class, &verdict);
        if (verdict != 0 && verdict != 1) __builtin_trap();
        if (end < text.c_str() || end > text.c_str() + text.size()) __builtin_trap();
    }
    return 0;
}
