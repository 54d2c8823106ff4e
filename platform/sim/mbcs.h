// Code-page rules shared by the simulated functions: lead bytes of code page 932 and the C
// runtime's case mapping, which never folds a single byte of a double-byte character but pairs
// the full-width Latin and the Greek letters of code page 932 as whole characters.
#ifndef K440_SIM_MBCS_H
#define K440_SIM_MBCS_H

#include <string>

namespace sim {

unsigned active_code_page();  // of the current machine (932 without one)
bool is_lead_byte(unsigned char c);  // in the current machine's code page
bool is_lead_byte_in(unsigned char c, unsigned code_page);
// Case pairs of double-byte characters (lead byte << 8 | trail byte) in code page 932.
unsigned lower_double_byte(unsigned unit);
unsigned upper_double_byte(unsigned unit);
// Length in bytes of the character at `text` (1 or 2; 1 for a lead byte before the terminator).
size_t char_length(const char *text);
// Offset of the last path separator of `path`, npos when none: a trail byte 0x5C of a
// double-byte character is no separator.
size_t last_separator(const std::string &path);
bool equal_nocase(const std::string &a, const std::string &b);
std::string lower(const std::string &text);
std::string upper(const std::string &text);

}  // namespace sim

#endif
