#include "sid_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace sim {

std::string sid_to_text(PSID sid) {
    if (!sid) return "";
    const SID *s = static_cast<const SID *>(sid);
    if (s->Revision != 1 || s->SubAuthorityCount > 15) return "";
    unsigned long long authority = 0;
    for (int i = 0; i < 6; ++i) authority = authority << 8 | s->IdentifierAuthority.Value[i];
    std::string text = "S-1-" + std::to_string(authority);
    for (int i = 0; i < s->SubAuthorityCount; ++i) {
        DWORD sub;
        std::memcpy(&sub, reinterpret_cast<const BYTE *>(s) + 8 + 4 * i, 4);
        text += "-" + std::to_string(sub);
    }
    return text;
}

std::vector<uint8_t> sid_from_text(const std::string &text) {
    std::vector<uint8_t> bytes;
    if (text.compare(0, 4, "S-1-") != 0) return bytes;
    std::vector<unsigned long long> parts;
    const char *p = text.c_str() + 4;
    while (*p) {
        char *end;
        parts.push_back(std::strtoull(p, &end, 10));
        if (end == p) return std::vector<uint8_t>();
        p = *end == '-' ? end + 1 : end;
    }
    if (parts.empty() || parts.size() > 16) return bytes;
    bytes.resize(8 + 4 * (parts.size() - 1));
    bytes[0] = 1;
    bytes[1] = (uint8_t)(parts.size() - 1);
    for (int i = 0; i < 6; ++i) bytes[2 + i] = (uint8_t)(parts[0] >> (8 * (5 - i)));
    for (size_t i = 1; i < parts.size(); ++i) {
        DWORD sub = (DWORD)parts[i];
        std::memcpy(&bytes[8 + 4 * (i - 1)], &sub, 4);
    }
    return bytes;
}

}  // namespace sim
