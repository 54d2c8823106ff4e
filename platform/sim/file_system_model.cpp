// The simulated file system: drives of folders and files found and made by path.
#include "machine.h"

#include "code_page.h"
#include "mbcs.h"
#include "path_parts.h"

namespace sim {

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

bool FileSystem::rename_file(const std::string &source, const std::string &target) {
    FileNode *node = find(source);
    size_t slash = last_separator(target);
    if (!node || node->is_dir || !node->parent || find(target) || slash == std::string::npos)
        return false;
    FileNode *folder = find(target.substr(0, slash) + (slash == 2 ? "\\" : ""));
    if (!folder || !folder->is_dir) return false;
    std::unique_ptr<FileNode> moved;
    auto &siblings = node->parent->children;
    for (auto it = siblings.begin(); it != siblings.end(); ++it) {
        if (it->get() != node) continue;
        moved = std::move(*it);
        siblings.erase(it);
        break;
    }
    moved->name = target.substr(slash + 1);
    moved->short_name.clear();
    moved->unicode_name.clear();
    moved->parent = folder;
    folder->children.push_back(std::move(moved));
    return true;
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

}  // namespace sim
