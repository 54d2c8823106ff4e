// Translation between the binary access lists and security descriptors that product code
// builds and the key security of the machine model.
#ifndef K440_SIM_ACL_CODEC_H
#define K440_SIM_ACL_CODEC_H

#include <string>
#include <vector>

#include "security_api.h"
#include "security_model.h"

namespace sim {

// The parts a descriptor carries. A present DACL pointer of NULL is a NULL DACL (everyone
// may do anything); an absent DACL is the same for an access check.
struct DescriptorParts {
    std::string owner;  // empty: none in the descriptor
    std::string group;
    bool dacl_present = false;
    bool dacl_null = false;
    std::vector<AccessEntry> dacl;
};

// Checks an ACL's header and entries; gives the bytes its entries fill.
bool acl_used_size(const ACL *acl, DWORD *used);
// Reads an absolute or self-relative descriptor; `limit` bounds a self-relative one.
bool read_descriptor(const void *descriptor, DWORD limit, DescriptorParts *parts);
// The self-relative descriptor of a key's security holding only the parts `what` names.
std::vector<uint8_t> self_relative_descriptor(const KeySecurity &security, DWORD what);
DWORD descriptor_length(const void *descriptor);

}  // namespace sim

#endif
