#include "machine.h"

#include <cstdio>
#include <cstdlib>

#include "code_page.h"
#include "mbcs.h"

namespace sim {

namespace {

Process *g_process = nullptr;
uintptr_t g_next_handle = 0x1000;

// Splits a backslash path into its components; empty components are kept so that callers
// can refuse paths such as "A\\B" or "A\".
std::vector<std::string> split_path(const std::string &path) {
    std::vector<std::string> parts;
    std::string part;
    for (size_t i = 0; i < path.size(); i += char_length(path.c_str() + i)) {
        size_t n = char_length(path.c_str() + i);
        if (n == 1 && path[i] == '\\') {
            parts.push_back(part);
            part.clear();
        } else {
            part.append(path, i, n);
        }
    }
    parts.push_back(part);
    return parts;
}

template <typename Node>
Node *find_child(const std::vector<std::unique_ptr<Node>> &children, const std::string &name) {
    for (const auto &c : children)
        if (equal_nocase(c->name, name)) return c.get();
    return nullptr;
}

}  // namespace

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

FileNode *FileNode::child(const std::string &child_name) const {
    for (const auto &c : children)
        if ((!c->has_foreign_name() && equal_nocase(c->name, child_name)) ||
            (!c->short_name.empty() && equal_nocase(c->short_name, child_name)))
            return c.get();
    return nullptr;
}

std::string FileNode::path() const {
    if (!parent) return name;  // "C:"
    bool by_short_name = has_foreign_name() && !short_name.empty();
    return parent->path() + "\\" + (by_short_name ? short_name : name);
}

FileSystem::FileSystem() {}

static bool drive_of(const std::string &path, char *letter) {
    if (path.size() < 2 || path[1] != ':') return false;
    char c = path[0];
    if (c >= 'a' && c <= 'z') c -= 32;
    if (c < 'A' || c > 'Z') return false;
    *letter = c;
    return true;
}

FileNode *FileSystem::find(const std::string &path) const {
    char letter;
    if (!drive_of(path, &letter)) return nullptr;
    auto it = drives.find(letter);
    if (it == drives.end()) return nullptr;
    FileNode *node = it->second.get();
    std::vector<std::string> parts = split_path(path.substr(2));
    if (parts.size() == 1 && parts[0].empty()) return nullptr;  // "C:" alone
    if (!parts.empty() && parts.front().empty()) parts.erase(parts.begin());
    if (parts.size() == 1 && parts[0].empty()) return node;     // "C:\"
    // Win32 resolves the text of a path before the file system sees it: a run of backslashes
    // is one, "X\." is X, "X\Y\.." is X whether or not Y exists, and the root's parent is the
    // root. A trailing backslash names a folder.
    bool names_a_folder = !parts.empty() && parts.back().empty();
    std::vector<std::string> resolved;
    for (const std::string &part : parts) {
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!resolved.empty()) resolved.pop_back();
            continue;
        }
        resolved.push_back(part);
    }
    for (const std::string &part : resolved) {
        if (!node->is_dir) return nullptr;
        node = node->child(part);
        if (!node) return nullptr;
    }
    return names_a_folder && !node->is_dir ? nullptr : node;
}

FileNode *FileSystem::make_dir(const std::string &path) {
    char letter;
    if (!drive_of(path, &letter)) return nullptr;
    std::unique_ptr<FileNode> &root = drives[letter];
    if (!root) {
        root.reset(new FileNode);
        root->name = std::string(1, letter) + ":";
        root->is_dir = true;
        root->attributes = 0x10;
    }
    FileNode *node = root.get();
    std::vector<std::string> parts = split_path(path.substr(2));
    for (const std::string &part : parts) {
        if (part.empty()) continue;
        FileNode *next = node->child(part);
        if (!next) {
            node->children.emplace_back(new FileNode);
            next = node->children.back().get();
            next->name = part;
            next->is_dir = true;
            next->attributes = 0x10;
            next->parent = node;
        }
        if (!next->is_dir) return nullptr;
        node = next;
    }
    return node;
}

FileNode *FileSystem::write_file(const std::string &path, const std::string &content,
                                 DWORD attributes) {
    size_t slash = last_separator(path);
    if (slash == std::string::npos) return nullptr;
    FileNode *dir = make_dir(path.substr(0, slash));
    if (!dir) return nullptr;
    std::string name = path.substr(slash + 1);
    FileNode *node = dir->child(name);
    if (!node) {
        dir->children.emplace_back(new FileNode);
        node = dir->children.back().get();
        node->name = name;
        node->parent = dir;
    }
    if (node->is_dir) return nullptr;
    node->content = content;
    node->attributes = attributes;
    return node;
}

FileNode *FileSystem::write_unicode_file(const std::string &folder, const std::u16string &name,
                                         const std::string &short_name,
                                         const std::string &content, DWORD attributes) {
    if (has_exact_ansi_form(name)) {
        FileNode *node = write_file(folder + "\\" + unicode_to_ansi(name), content, attributes);
        if (node) node->short_name = short_name;
        return node;
    }
    FileNode *dir = make_dir(folder);
    if (!dir) return nullptr;
    dir->children.emplace_back(new FileNode);
    FileNode *node = dir->children.back().get();
    node->name = unicode_to_ansi(name);
    node->unicode_name = name;
    node->short_name = short_name;
    node->parent = dir;
    node->content = content;
    node->attributes = attributes;
    return node;
}

bool FileSystem::remove(const std::string &path) {
    FileNode *node = find(path);
    if (!node || !node->parent) return false;
    auto &siblings = node->parent->children;
    for (auto it = siblings.begin(); it != siblings.end(); ++it) {
        if (it->get() == node) {
            siblings.erase(it);
            return true;
        }
    }
    return false;
}

static void list_into(const FileNode *node, std::vector<std::string> *out) {
    for (const auto &c : node->children) {
        out->push_back(c->path() + (c->is_dir ? "\\" : ""));
        if (c->is_dir) list_into(c.get(), out);
    }
}

std::vector<std::string> FileSystem::list_all() const {
    std::vector<std::string> out;
    for (const auto &d : drives) list_into(d.second.get(), &out);
    return out;
}

VersionInfo version_for_class(int os_class) {
    VersionInfo v;
    auto set = [&v](DWORD platform, DWORD major, DWORD minor, DWORD build, const char *sp) {
        v.platform = platform;
        v.major = major;
        v.minor = minor;
        v.build = build;
        v.service_pack = sp;
    };
    switch (os_class) {
        case 0: v.query_fails = true; break;
        case 1: set(1, 4, 0, 0x040003B6, ""); break;
        case 2: set(1, 4, 0, 0x04000457, " B"); break;
        case 3: set(1, 4, 10, 0x040A07CE, ""); break;
        case 4: set(1, 4, 10, 0x040A08AE, " A "); break;
        case 5: set(1, 4, 90, 0x045A0BB8, " "); break;
        case 6: set(2, 4, 0, 1381, "Service Pack 6a"); break;
        case 7: set(2, 5, 0, 2195, "Service Pack 4"); break;
        case 8: set(2, 5, 1, 2600, "Service Pack 3"); break;
        case 9: set(2, 5, 2, 3790, "Service Pack 2"); break;
        default: set(2, 6, 0, 6002, "Service Pack 2"); break;
    }
    return v;
}

bool Machine::take_fault(const char *function, const std::string &detail, DWORD *error) {
    for (auto it = faults.begin(); it != faults.end(); ++it) {
        if (it->function != function) continue;
        if (!it->subject.empty() && lower(detail).find(lower(it->subject)) == std::string::npos)
            continue;
        if (it->skip > 0) {
            --it->skip;
            continue;
        }
        *error = it->error;
        if (it->times > 0 && --it->times == 0) faults.erase(it);
        return true;
    }
    return false;
}

std::vector<Call> Machine::calls_to(const std::string &function) const {
    std::vector<Call> out;
    for (const Call &c : calls)
        if (c.function == function) out.push_back(c);
    return out;
}

const char *const X86_PROGRAM_IMAGE = "MZ PE32 i386 GUI";
const char *const X64_PROGRAM_IMAGE = "MZ PE32+ x86-64 GUI";

void exit_process(Process &process) {
    for (const auto &handle : process.mutex_handles) {
        auto it = process.machine->mutexes.find(handle.second);
        if (it != process.machine->mutexes.end() && --it->second <= 0)
            process.machine->mutexes.erase(it);
        --process.open_handles;
    }
    process.mutex_handles.clear();
}

void count_mutating_call() {
    Machine &m = current_machine();
    ++m.mutating_calls;
    if (m.kill_after_mutating_call > 0 && m.mutating_calls == m.kill_after_mutating_call) {
        ProcessKilled killed;
        killed.mutating_call = m.mutating_calls;
        throw killed;
    }
}

Process &current_process() {
    if (!g_process) {
        std::fprintf(stderr, "simulated platform called without a current process\n");
        std::abort();
    }
    return *g_process;
}

Machine &current_machine() { return *current_process().machine; }
bool has_current_process() { return g_process != nullptr && g_process->machine != nullptr; }
void set_current_process(Process *process) { g_process = process; }

ProcessScope::ProcessScope(Process &process) : previous_(g_process) { g_process = &process; }
ProcessScope::~ProcessScope() { g_process = previous_; }

void record_call(const char *function, const std::string &detail) {
    Call c;
    c.function = function;
    c.detail = detail;
    Machine &m = current_machine();
    m.calls.push_back(c);
    if (m.on_call) m.on_call(c);
}

std::string hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", (unsigned)value);
    return text;
}

uintptr_t new_handle_number() {
    g_next_handle += 4;
    return g_next_handle;
}

}  // namespace sim
