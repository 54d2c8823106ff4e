// SIDs of the simulated platform in their text form ("S-1-5-32-544") and back.
#ifndef K440_SIM_SID_TEXT_H
#define K440_SIM_SID_TEXT_H

#include <string>
#include <vector>

#include "security_api.h"

namespace sim {

std::string sid_to_text(PSID sid);  // "" for a missing or malformed SID
// The binary SID of a text, as bytes (Revision, count, authority, sub-authorities).
std::vector<uint8_t> sid_from_text(const std::string &text);

}  // namespace sim

#endif
