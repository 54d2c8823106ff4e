#include "acl_codec.h"

#include <cstring>

#include "sid_text.h"

namespace sim {

namespace {

bool read_acl(const ACL *acl, std::vector<AccessEntry> *entries) {
    DWORD used;
    if (!acl_used_size(acl, &used)) return false;
    const BYTE *p = reinterpret_cast<const BYTE *>(acl) + sizeof(ACL);
    for (WORD i = 0; i < acl->AceCount; ++i) {
        ACE_HEADER header;
        std::memcpy(&header, p, sizeof header);
        AccessEntry e;
        e.allow = header.AceType == ACCESS_ALLOWED_ACE_TYPE;
        e.flags = header.AceFlags;
        std::memcpy(&e.mask, p + 4, 4);
        e.sid = sid_to_text(const_cast<BYTE *>(p + 8));
        entries->push_back(e);
        p += header.AceSize;
    }
    return true;
}

void append(std::vector<uint8_t> &out, const void *bytes, size_t size) {
    const uint8_t *b = static_cast<const uint8_t *>(bytes);
    out.insert(out.end(), b, b + size);
}

std::vector<uint8_t> acl_bytes(const std::vector<AccessEntry> &entries) {
    std::vector<uint8_t> out(sizeof(ACL), 0);
    for (const AccessEntry &e : entries) {
        std::vector<uint8_t> sid = sid_from_text(e.sid);
        ACE_HEADER header = {(BYTE)(e.allow ? ACCESS_ALLOWED_ACE_TYPE : ACCESS_DENIED_ACE_TYPE),
                             e.flags, (WORD)(8 + sid.size())};
        append(out, &header, sizeof header);
        append(out, &e.mask, 4);
        append(out, sid.data(), sid.size());
    }
    ACL header = {ACL_REVISION, 0, (WORD)out.size(), (WORD)entries.size(), 0};
    std::memcpy(out.data(), &header, sizeof header);
    return out;
}

std::string sid_at(const BYTE *base, DWORD offset, DWORD limit) {
    if (!offset || offset + 8 > limit) return "";
    const SID *sid = reinterpret_cast<const SID *>(base + offset);
    if (offset + 8 + 4 * (DWORD)sid->SubAuthorityCount > limit) return "";
    return sid_to_text(const_cast<SID *>(sid));
}

}  // namespace

bool acl_used_size(const ACL *acl, DWORD *used) {
    if (!acl || acl->AclRevision < ACL_REVISION || acl->AclRevision > ACL_REVISION_DS) return false;
    if (acl->AclSize < sizeof(ACL) || acl->AclSize % 4) return false;
    const BYTE *base = reinterpret_cast<const BYTE *>(acl);
    DWORD offset = sizeof(ACL);
    for (WORD i = 0; i < acl->AceCount; ++i) {
        if (offset + sizeof(ACE_HEADER) > acl->AclSize) return false;
        ACE_HEADER header;
        std::memcpy(&header, base + offset, sizeof header);
        if (header.AceSize < 16 || header.AceSize % 4 || offset + header.AceSize > acl->AclSize)
            return false;
        if (header.AceType != ACCESS_ALLOWED_ACE_TYPE && header.AceType != ACCESS_DENIED_ACE_TYPE)
            return false;
        const SID *sid = reinterpret_cast<const SID *>(base + offset + 8);
        if (sid->Revision != 1 || 8u + 8u + 4u * sid->SubAuthorityCount > header.AceSize)
            return false;
        offset += header.AceSize;
    }
    *used = offset;
    return true;
}

bool read_descriptor(const void *descriptor, DWORD limit, DescriptorParts *parts) {
    if (!descriptor) return false;
    const BYTE *base = static_cast<const BYTE *>(descriptor);
    if (base[0] != SECURITY_DESCRIPTOR_REVISION) return false;
    WORD control;
    std::memcpy(&control, base + 2, 2);
    *parts = DescriptorParts();
    parts->dacl_present = (control & SE_DACL_PRESENT) != 0;
    const ACL *dacl = nullptr;
    if (control & SE_SELF_RELATIVE) {
        SECURITY_DESCRIPTOR_RELATIVE sd;
        if (limit < sizeof sd) return false;
        std::memcpy(&sd, base, sizeof sd);
        parts->owner = sid_at(base, sd.Owner, limit);
        parts->group = sid_at(base, sd.Group, limit);
        if ((sd.Owner && parts->owner.empty()) || (sd.Group && parts->group.empty())) return false;
        if (parts->dacl_present && sd.Dacl) {
            if (sd.Dacl + sizeof(ACL) > limit) return false;
            dacl = reinterpret_cast<const ACL *>(base + sd.Dacl);
            if (sd.Dacl + dacl->AclSize > limit) return false;
        }
    } else {
        const SECURITY_DESCRIPTOR *sd = static_cast<const SECURITY_DESCRIPTOR *>(descriptor);
        if (sd->Owner) parts->owner = sid_to_text(sd->Owner);
        if (sd->Group) parts->group = sid_to_text(sd->Group);
        if ((sd->Owner && parts->owner.empty()) || (sd->Group && parts->group.empty())) return false;
        if (parts->dacl_present) dacl = sd->Dacl;
    }
    if (!parts->dacl_present) return true;
    if (!dacl) {
        parts->dacl_null = true;
        return true;
    }
    return read_acl(dacl, &parts->dacl);
}

std::vector<uint8_t> self_relative_descriptor(const KeySecurity &security, DWORD what) {
    std::vector<uint8_t> out(sizeof(SECURITY_DESCRIPTOR_RELATIVE), 0);
    SECURITY_DESCRIPTOR_RELATIVE sd;
    std::memset(&sd, 0, sizeof sd);
    sd.Revision = SECURITY_DESCRIPTOR_REVISION;
    sd.Control = SE_SELF_RELATIVE;
    if (what & DACL_SECURITY_INFORMATION) {
        sd.Control |= SE_DACL_PRESENT;
        if (security.has_dacl) {
            sd.Dacl = (DWORD)out.size();
            std::vector<uint8_t> acl = acl_bytes(security.dacl);
            append(out, acl.data(), acl.size());
        }
    }
    if (what & OWNER_SECURITY_INFORMATION) {
        std::vector<uint8_t> sid = sid_from_text(security.owner_sid);
        sd.Owner = (DWORD)out.size();
        append(out, sid.data(), sid.size());
    }
    if (what & GROUP_SECURITY_INFORMATION) {
        std::vector<uint8_t> sid = sid_from_text(security.group_sid);
        sd.Group = (DWORD)out.size();
        append(out, sid.data(), sid.size());
    }
    std::memcpy(out.data(), &sd, sizeof sd);
    return out;
}

DWORD descriptor_length(const void *descriptor) {
    if (!descriptor) return 0;
    const BYTE *base = static_cast<const BYTE *>(descriptor);
    WORD control;
    std::memcpy(&control, base + 2, 2);
    if (control & SE_SELF_RELATIVE) {
        SECURITY_DESCRIPTOR_RELATIVE sd;
        std::memcpy(&sd, base, sizeof sd);
        DWORD end = sizeof sd;
        auto sid_end = [&](DWORD offset) {
            if (!offset) return;
            const SID *sid = reinterpret_cast<const SID *>(base + offset);
            DWORD e = offset + 8 + 4 * sid->SubAuthorityCount;
            if (e > end) end = e;
        };
        sid_end(sd.Owner);
        sid_end(sd.Group);
        if ((control & SE_DACL_PRESENT) && sd.Dacl) {
            const ACL *acl = reinterpret_cast<const ACL *>(base + sd.Dacl);
            if (sd.Dacl + acl->AclSize > end) end = sd.Dacl + acl->AclSize;
        }
        return end;
    }
    const SECURITY_DESCRIPTOR *sd = static_cast<const SECURITY_DESCRIPTOR *>(descriptor);
    DWORD total = sizeof(SECURITY_DESCRIPTOR_RELATIVE);
    if (sd->Owner) total += GetLengthSid(sd->Owner);
    if (sd->Group) total += GetLengthSid(sd->Group);
    if ((sd->Control & SE_DACL_PRESENT) && sd->Dacl) total += sd->Dacl->AclSize;
    return total;
}

}  // namespace sim
