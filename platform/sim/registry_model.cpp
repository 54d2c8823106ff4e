// The simulated registry: keys found and created by path, values, whole trees deleted.
#include "machine.h"

#include "code_page.h"
#include "mbcs.h"
#include "path_parts.h"

namespace sim {

static std::string ascii_folded(const std::string &name) {
    std::string out = name;
    for (char &c : out)
        if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
    return out;
}

RegKey *RegKey::child(const std::string &child_name) const {
    auto range = child_index.equal_range(ascii_folded(child_name));
    for (auto it = range.first; it != range.second; ++it)
        if (!it->second->has_foreign_name() && equal_nocase(it->second->name, child_name))
            return it->second;
    return nullptr;
}

RegValue *RegKey::value(const std::string &value_name) {
    for (RegValue &v : values)
        if (equal_nocase(v.name, value_name)) return &v;
    return nullptr;
}

std::string RegKey::path() const {
    if (!parent) return "";
    std::string up = parent->path();
    return up.empty() ? name : up + "\\" + name;
}

Registry::Registry() : hklm(new RegKey) { hklm->name = "HKEY_LOCAL_MACHINE"; }

RegKey *Registry::find(const std::string &path) const {
    RegKey *key = hklm.get();
    if (path.empty()) return key;
    for (const std::string &part : split_path(path)) {
        if (part.empty()) return nullptr;
        key = key->child(part);
        if (!key) return nullptr;
    }
    return key;
}

RegKey *Registry::create(const std::string &path) {
    RegKey *key = hklm.get();
    if (path.empty()) return key;
    for (const std::string &part : split_path(path)) {
        if (part.empty()) return nullptr;
        RegKey *next = key->child(part);
        if (!next) {
            key->subkeys.emplace_back(new RegKey);
            next = key->subkeys.back().get();
            next->name = part;
            next->parent = key;
            key->child_index.emplace(ascii_folded(part), next);
        }
        key = next;
    }
    return key;
}

RegKey *Registry::create_unicode_key(const std::string &parent_path, const std::u16string &name) {
    if (has_exact_ansi_form(name))
        return create(parent_path.empty() ? unicode_to_ansi(name)
                                          : parent_path + "\\" + unicode_to_ansi(name));
    RegKey *parent = create(parent_path);
    if (!parent) return nullptr;
    parent->subkeys.emplace_back(new RegKey);
    RegKey *key = parent->subkeys.back().get();
    key->name = unicode_to_ansi(name);
    key->unicode_name = name;
    key->parent = parent;
    parent->child_index.emplace(ascii_folded(key->name), key);
    return key;
}

void Registry::set_value(const std::string &key_path, const std::string &name, DWORD type,
                         const std::vector<uint8_t> &data) {
    RegKey *key = create(key_path);
    if (!key) return;
    RegValue *v = key->value(name);
    if (!v) {
        key->values.emplace_back();
        v = &key->values.back();
        v->name = name;
    }
    v->type = type;
    v->data = data;
    v->unicode_data.clear();
}

void Registry::set_string(const std::string &key_path, const std::string &name,
                          const std::string &text) {
    std::vector<uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    set_value(key_path, name, 1, data);
}

void Registry::set_dword(const std::string &key_path, const std::string &name, DWORD value) {
    std::vector<uint8_t> data = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16),
                                 uint8_t(value >> 24)};
    set_value(key_path, name, 4, data);
}

void Registry::set_unicode_string(const std::string &key_path, const std::string &name,
                                  DWORD type, const std::u16string &text, bool terminated) {
    std::u16string stored = terminated ? text + u'\0' : text;
    std::string ansi = unicode_to_ansi(stored);
    set_value(key_path, name, type, std::vector<uint8_t>(ansi.begin(), ansi.end()));
    RegValue *v = find(key_path)->value(name);
    v->unicode_data.clear();
    if (has_exact_ansi_form(stored)) return;
    for (char16_t c : stored) {
        v->unicode_data.push_back((uint8_t)(c & 0xFF));
        v->unicode_data.push_back((uint8_t)(c >> 8));
    }
}

bool Registry::has_value(const std::string &key_path, const std::string &name) const {
    RegKey *key = find(key_path);
    return key && key->value(name) != nullptr;
}

static void mark_deleted(RegKey *key) {
    key->deleted = true;
    for (auto &c : key->subkeys) mark_deleted(c.get());
}

bool Registry::remove_tree(const std::string &path) {
    RegKey *key = find(path);
    if (!key || !key->parent) return false;
    auto &siblings = key->parent->subkeys;
    for (auto it = siblings.begin(); it != siblings.end(); ++it) {
        if (it->get() != key) continue;
        auto range = key->parent->child_index.equal_range(ascii_folded(key->name));
        for (auto entry = range.first; entry != range.second; ++entry) {
            if (entry->second != key) continue;
            key->parent->child_index.erase(entry);
            break;
        }
        mark_deleted(key);
        graveyard.push_back(std::move(*it));
        siblings.erase(it);
        return true;
    }
    return false;
}

}  // namespace sim
