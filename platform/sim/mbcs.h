// Code-page rules shared by the simulated functions: lead bytes of code page 932 and
// case-insensitive comparison that never folds a byte of a double-byte character.
#ifndef K440_SIM_MBCS_H
#define K440_SIM_MBCS_H

#include <string>

namespace sim {

bool is_lead_byte(unsigned char c);  // in the current machine's code page
// Length in bytes of the character at `text` (1 or 2; 1 for a lead byte before the terminator).
size_t char_length(const char *text);
bool equal_nocase(const std::string &a, const std::string &b);
std::string lower(const std::string &text);
std::string upper(const std::string &text);

}  // namespace sim

#endif
