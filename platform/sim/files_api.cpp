// Files and folders of the simulated platform: case-insensitive paths, attributes that guard
// deletion, searches with wildcards and the delayed deletion of the NT family.
#include "files_api.h"

#include <algorithm>
#include <cstring>

#include "file_search.h"
#include "handle_table.h"
#include "machine.h"
#include "mbcs.h"
#include "registry_api.h"
#include "system_api.h"
#include "wildcard.h"
#include "wow64_view.h"

using namespace sim;

namespace {

struct OpenFile {
    std::string path;
    DWORD access = 0;
    DWORD share = 0;
    size_t position = 0;
};

std::map<uintptr_t, OpenFile> g_files;  // handles from CreateFileA

const DWORD write_access = GENERIC_WRITE | GENERIC_ALL | 0x0002 /* FILE_WRITE_DATA */ |
                           0x0004 /* FILE_APPEND_DATA */;
const DWORD read_access = GENERIC_READ | GENERIC_ALL | 0x0001 /* FILE_READ_DATA */;

// A handle of this process on the file that does not share `share_needed`.
bool open_without_sharing(const std::string &path, DWORD share_needed) {
    for (const auto &open : g_files)
        if (equal_nocase(open.second.path, path) && !(open.second.share & share_needed)) return true;
    return false;
}

// Opening a file that is open already: each side must share what the other asks for.
bool sharing_conflict(const std::string &path, DWORD access, DWORD share) {
    for (const auto &open : g_files) {
        if (!equal_nocase(open.second.path, path)) continue;
        if ((access & write_access) && !(open.second.share & FILE_SHARE_WRITE)) return true;
        if ((access & read_access) && !(open.second.share & FILE_SHARE_READ)) return true;
        if ((open.second.access & write_access) && !(share & FILE_SHARE_WRITE)) return true;
        if ((open.second.access & read_access) && !(share & FILE_SHARE_READ)) return true;
    }
    return false;
}

bool close_file(HANDLE handle) {
    auto it = g_files.find(reinterpret_cast<uintptr_t>(handle));
    if (it == g_files.end()) return false;
    g_files.erase(it);
    --current_process().open_handles;
    return true;
}

DWORD copy_out(const std::string &text, LPSTR buffer, DWORD size) {
    if (text.size() + 1 > size) return (DWORD)text.size() + 1;
    memcpy(buffer, text.c_str(), text.size() + 1);
    return (DWORD)text.size();
}

bool fail(DWORD error) {
    SetLastError(error);
    return false;
}

bool parent_exists(const std::string &path) {
    size_t slash = last_separator(path);
    if (slash == std::string::npos) return false;
    std::string parent = path.substr(0, slash);
    if (parent.size() == 2) parent += "\\";
    FileNode *node = current_machine().files.find(parent);
    return node && node->is_dir;
}

// The image of a running program cannot be deleted: this process's, and those of the
// processes that wait for a program they started.
const std::string &image_file(const Process &process) {
    return process.renamed_image.empty() ? process.module_path : process.renamed_image;
}

bool is_running_image(const std::string &path) {
    if (equal_nocase(path, image_file(current_process()))) return true;
    for (const Process *waiting : current_machine().waiting_processes)
        if (equal_nocase(path, image_file(*waiting))) return true;
    return false;
}

// A running image renamed is still the image of its process under the new name.
void follow_renamed_image(const std::string &source, const std::string &target) {
    if (equal_nocase(source, image_file(current_process()))) current_process().renamed_image = target;
    for (Process *waiting : current_machine().waiting_processes)
        if (equal_nocase(source, image_file(*waiting))) waiting->renamed_image = target;
}

// A rename within the volume: allowed for a running image or a mapped (in-use) file, which
// cannot be deleted; refused onto an existing name (without MOVEFILE_REPLACE_EXISTING, which
// this simulation does not offer), across volumes and for a file open without delete sharing.
BOOL rename_now(Machine &m, const std::string &existing, const char *requested_target, DWORD flags) {
    FileNode *node = m.files.find(existing);
    if (!node) return fail(parent_exists(existing) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
    if (node->is_dir || (flags & MOVEFILE_REPLACE_EXISTING)) return fail(ERROR_CALL_NOT_IMPLEMENTED);
    std::string source = node->path();
    std::string target = file_view(requested_target);
    if (target.size() < 2 || !equal_nocase(target.substr(0, 2), source.substr(0, 2)))
        return fail(ERROR_NOT_SAME_DEVICE);
    if (m.files.find(target)) return fail(ERROR_ALREADY_EXISTS);
    if (!parent_exists(target)) return fail(ERROR_PATH_NOT_FOUND);
    if (open_without_sharing(source, FILE_SHARE_DELETE)) return fail(ERROR_SHARING_VIOLATION);
    if (!m.files.rename_file(source, target)) return fail(ERROR_ACCESS_DENIED);
    follow_renamed_image(source, m.files.find(target)->path());
    count_mutating_call();
    return TRUE;
}

WIN32_FIND_DATAA find_data(const std::string &name, const FileNode *node) {
    WIN32_FIND_DATAA d;
    memset(&d, 0, sizeof d);
    d.dwFileAttributes = node ? node->attributes : FILE_ATTRIBUTE_DIRECTORY;
    if (node && !node->is_dir) d.nFileSizeLow = (DWORD)node->content.size();
    strncpy(d.cFileName, name.c_str(), MAX_PATH - 1);
    if (node && !node->short_name.empty()) strncpy(d.cAlternateFileName, node->short_name.c_str(), 13);
    return d;
}

}  // namespace

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
    record_call("GetWindowsDirectoryA", std::to_string(size));
    return copy_out(current_machine().windows_dir, buffer, size);
}

// As on Windows XP: a path that does not fit is cut to the buffer without a terminator and
// the full size is returned.
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
    record_call("GetModuleFileNameA", std::to_string(size));
    if (module) return fail(ERROR_INVALID_HANDLE), 0;
    const std::string &path = current_process().module_path;
    if (path.size() + 1 > size) {
        memcpy(buffer, path.c_str(), size);
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    memcpy(buffer, path.c_str(), path.size() + 1);
    return (DWORD)path.size();
}

DWORD GetFileAttributesA(LPCSTR requested) {
    record_call("GetFileAttributesA", requested ? requested : "");
    std::string viewed = file_view(requested ? requested : "");
    LPCSTR path = requested ? viewed.c_str() : nullptr;
    FileNode *node = path ? current_machine().files.find(path) : nullptr;
    if (!node) {
        SetLastError(path && parent_exists(path) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    return node->attributes;
}

BOOL SetFileAttributesA(LPCSTR requested, DWORD attributes) {
    record_call("SetFileAttributesA", std::string(requested ? requested : "") + " " + hex(attributes));
    std::string viewed = file_view(requested ? requested : "");
    LPCSTR path = requested ? viewed.c_str() : nullptr;
    FileNode *node = path ? current_machine().files.find(path) : nullptr;
    if (!node) return fail(ERROR_FILE_NOT_FOUND);
    DWORD error;
    if (current_machine().take_fault("SetFileAttributesA", path, &error)) return fail(error);
    DWORD kept = node->is_dir ? FILE_ATTRIBUTE_DIRECTORY : 0;
    DWORD settable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                     FILE_ATTRIBUTE_ARCHIVE;
    DWORD value = (attributes & settable) | kept;
    if (value == 0) value = FILE_ATTRIBUTE_NORMAL;
    node->attributes = value;
    count_mutating_call();
    return TRUE;
}

BOOL DeleteFileA(LPCSTR requested) {
    record_call("DeleteFileA", requested ? requested : "");
    std::string viewed = file_view(requested ? requested : "");
    LPCSTR path = requested ? viewed.c_str() : nullptr;
    Machine &m = current_machine();
    FileNode *node = path ? m.files.find(path) : nullptr;
    if (!node) return fail(path && parent_exists(path) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
    DWORD error;
    if (m.take_fault("DeleteFileA", path, &error)) return fail(error);
    if (node->is_dir || (node->attributes & FILE_ATTRIBUTE_READONLY)) return fail(ERROR_ACCESS_DENIED);
    if (node->in_use || is_running_image(node->path())) return fail(ERROR_ACCESS_DENIED);
    if (open_without_sharing(node->path(), FILE_SHARE_DELETE)) return fail(ERROR_SHARING_VIOLATION);
    m.files.remove(node->path());
    count_mutating_call();
    return TRUE;
}

// The names come from the true names as the code page's best-fit table turns them into ANSI
// text: a name the code page cannot hold comes back as a look-alike that names no entry (or
// another one), and only its 8.3 name reaches the entry.
HANDLE FindFirstFileA(LPCSTR requested, LPWIN32_FIND_DATAA data) {
    record_call("FindFirstFileA", requested ? requested : "");
    std::string viewed = file_view(requested ? requested : "");
    LPCSTR pattern = requested ? viewed.c_str() : nullptr;
    std::string text = pattern ? pattern : "";
    if (!data) return fail(ERROR_INVALID_PARAMETER), INVALID_HANDLE_VALUE;
    std::vector<const FileNode *> children;
    std::vector<std::string> dots;
    if (!search_entries(text, &children, &dots)) return INVALID_HANDLE_VALUE;
    DWORD error;
    if (current_machine().take_fault("FindFirstFileA", text, &error))
        return fail(error), INVALID_HANDLE_VALUE;
    Search search;
    for (const std::string &dot : dots) search.narrow.push_back(find_data(dot, nullptr));
    for (const FileNode *child : children) search.narrow.push_back(find_data(child->name, child));
    if (search.narrow.empty()) return fail(ERROR_FILE_NOT_FOUND), INVALID_HANDLE_VALUE;
    *data = search.narrow[0];
    search.next = 1;
    return add_search(search);
}

BOOL FindNextFileA(HANDLE handle, LPWIN32_FIND_DATAA data) {
    record_call("FindNextFileA", "");
    Search *s = find_search(handle);
    if (!s || !data) return fail(ERROR_INVALID_HANDLE);
    if (s->next >= s->narrow.size()) return fail(ERROR_NO_MORE_FILES);
    *data = s->narrow[s->next++];
    return TRUE;
}

BOOL FindClose(HANDLE handle) {
    record_call("FindClose", "");
    if (!end_search(handle)) return fail(ERROR_INVALID_HANDLE);
    return TRUE;
}

// The NT family records a delayed move in the pending-rename list and renames at once without
// it; Windows 98/ME has no such function.
BOOL MoveFileExA(LPCSTR requested, LPCSTR new_name, DWORD flags) {
    record_call("MoveFileExA", std::string(requested ? requested : "") + " -> " +
                                   (new_name ? new_name : "(null)") + " " + hex(flags));
    std::string viewed = file_view(requested ? requested : "");
    LPCSTR existing = requested ? viewed.c_str() : nullptr;
    Machine &m = current_machine();
    if (!m.is_nt()) return fail(ERROR_CALL_NOT_IMPLEMENTED);
    if (!existing) return fail(ERROR_INVALID_PARAMETER);
    DWORD error;
    if (m.take_fault("MoveFileExA", existing, &error)) return fail(error);
    if (!(flags & MOVEFILE_DELAY_UNTIL_REBOOT)) {
        FileNode *node = m.files.find(existing);
        if (!node) return fail(ERROR_FILE_NOT_FOUND);
        if (!new_name) {
            if (node->is_dir && !node->children.empty()) return fail(ERROR_DIR_NOT_EMPTY);
            m.files.remove(node->path());
            count_mutating_call();
            return TRUE;
        }
        return rename_now(m, existing, new_name, flags);
    }
    if (!m.files.find(existing)) return fail(ERROR_FILE_NOT_FOUND);
    PendingRename r;
    r.source = existing;
    r.target = new_name ? new_name : "";
    m.pending_renames.push_back(r);
    count_mutating_call();
    return TRUE;
}

HANDLE CreateFileA(LPCSTR requested, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                   DWORD disposition, DWORD flags, HANDLE template_file) {
    (void)security;
    (void)flags;
    (void)template_file;
    record_call("CreateFileA", std::string(requested ? requested : "") + " " + hex(access) + " " +
                                   std::to_string(disposition));
    std::string viewed = file_view(requested ? requested : "");
    LPCSTR path = requested ? viewed.c_str() : nullptr;
    Machine &m = current_machine();
    if (!path) return fail(ERROR_INVALID_PARAMETER), INVALID_HANDLE_VALUE;
    DWORD error;
    if (m.take_fault("CreateFileA", path, &error)) return fail(error), INVALID_HANDLE_VALUE;
    FileNode *node = m.files.find(path);
    if (node && node->is_dir) return fail(ERROR_ACCESS_DENIED), INVALID_HANDLE_VALUE;
    switch (disposition) {
        case CREATE_NEW:
            if (node) return fail(ERROR_FILE_EXISTS), INVALID_HANDLE_VALUE;
            break;
        case OPEN_EXISTING:
        case TRUNCATE_EXISTING:
            if (!node) return fail(ERROR_FILE_NOT_FOUND), INVALID_HANDLE_VALUE;
            break;
        case CREATE_ALWAYS:
        case OPEN_ALWAYS:
            break;
        default:
            return fail(ERROR_INVALID_PARAMETER), INVALID_HANDLE_VALUE;
    }
    if (!node && !parent_exists(path)) return fail(ERROR_PATH_NOT_FOUND), INVALID_HANDLE_VALUE;
    if (node && (access & write_access) && (node->attributes & FILE_ATTRIBUTE_READONLY))
        return fail(ERROR_ACCESS_DENIED), INVALID_HANDLE_VALUE;
    if (node && sharing_conflict(node->path(), access, share))
        return fail(ERROR_SHARING_VIOLATION), INVALID_HANDLE_VALUE;
    bool existed = node != nullptr;
    bool changed = !existed || disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
    if (!node) node = m.files.write_file(path, "", FILE_ATTRIBUTE_ARCHIVE);
    else if (disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING) node->content.clear();
    add_handle_closer(close_file);
    uintptr_t number = new_handle_number();
    OpenFile open;
    open.path = node->path();
    open.access = access;
    open.share = share;
    g_files[number] = open;
    ++current_process().open_handles;
    // OPEN_ALWAYS and CREATE_ALWAYS tell whether the file was there already.
    bool tells = disposition == OPEN_ALWAYS || disposition == CREATE_ALWAYS;
    SetLastError(tells && existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    if (changed) count_mutating_call();
    return reinterpret_cast<HANDLE>(number);
}

// Writes at the handle's position, extending the file, and advances the position.
BOOL WriteFile(HANDLE handle, LPCVOID data, DWORD size, LPDWORD written, LPVOID overlapped) {
    (void)overlapped;
    record_call("WriteFile", std::to_string(size));
    if (written) *written = 0;
    auto it = g_files.find(reinterpret_cast<uintptr_t>(handle));
    if (it == g_files.end()) return fail(ERROR_INVALID_HANDLE);
    if (!(it->second.access & write_access)) return fail(ERROR_ACCESS_DENIED);
    if (!data && size) return fail(ERROR_INVALID_PARAMETER);
    FileNode *node = current_machine().files.find(it->second.path);
    if (!node) return fail(ERROR_ACCESS_DENIED);
    DWORD error;
    if (current_machine().take_fault("WriteFile", it->second.path, &error)) return fail(error);
    OpenFile &open = it->second;
    if (node->content.size() < open.position) node->content.resize(open.position, '\0');
    node->content.replace(open.position, size, static_cast<const char *>(data), size);
    open.position += size;
    if (written) *written = size;
    count_mutating_call();
    return TRUE;
}

// Reads from the handle's position up to the end of the file, and advances the position.
BOOL ReadFile(HANDLE handle, LPVOID data, DWORD size, LPDWORD read, LPVOID overlapped) {
    (void)overlapped;
    record_call("ReadFile", std::to_string(size));
    if (read) *read = 0;
    auto it = g_files.find(reinterpret_cast<uintptr_t>(handle));
    if (it == g_files.end()) return fail(ERROR_INVALID_HANDLE);
    if (!(it->second.access & (GENERIC_READ | GENERIC_ALL))) return fail(ERROR_ACCESS_DENIED);
    if (!data && size) return fail(ERROR_INVALID_PARAMETER);
    FileNode *node = current_machine().files.find(it->second.path);
    if (!node) return fail(ERROR_ACCESS_DENIED);
    OpenFile &open = it->second;
    size_t available = open.position < node->content.size() ? node->content.size() - open.position : 0;
    DWORD count = (DWORD)std::min<size_t>(size, available);
    memcpy(data, node->content.data() + open.position, count);
    open.position += count;
    if (read) *read = count;
    return TRUE;
}

DWORD GetFileType(HANDLE handle) {
    record_call("GetFileType", "");
    if (g_files.find(reinterpret_cast<uintptr_t>(handle)) == g_files.end())
        return fail(ERROR_INVALID_HANDLE), FILE_TYPE_UNKNOWN;
    SetLastError(ERROR_SUCCESS);
    return FILE_TYPE_DISK;
}

// Files here stay below 4 GB: the high part of the distance is taken as the sign only.
DWORD SetFilePointer(HANDLE handle, LONG distance, PLONG distance_high, DWORD method) {
    record_call("SetFilePointer", std::to_string(distance) + " " + std::to_string(method));
    auto it = g_files.find(reinterpret_cast<uintptr_t>(handle));
    if (it == g_files.end()) return fail(ERROR_INVALID_HANDLE), INVALID_SET_FILE_POINTER;
    FileNode *node = current_machine().files.find(it->second.path);
    long long base = 0;
    switch (method) {
        case FILE_BEGIN: base = 0; break;
        case FILE_CURRENT: base = (long long)it->second.position; break;
        case FILE_END: base = node ? (long long)node->content.size() : 0; break;
        default: return fail(ERROR_INVALID_PARAMETER), INVALID_SET_FILE_POINTER;
    }
    long long target = base + distance;
    if (target < 0) return fail(ERROR_NEGATIVE_SEEK), INVALID_SET_FILE_POINTER;
    it->second.position = (size_t)target;
    if (distance_high) *distance_high = 0;
    SetLastError(ERROR_SUCCESS);
    return (DWORD)target;
}

// The folder for temporary files, with its trailing backslash; the platform does not check
// that it exists. Too small a buffer gets the size needed, terminator included.
DWORD GetTempPathA(DWORD size, LPSTR buffer) {
    record_call("GetTempPathA", std::to_string(size));
    const std::string &path = current_machine().temp_path;
    if (path.size() + 1 > size) return (DWORD)path.size() + 1;
    if (!buffer) return fail(ERROR_INVALID_PARAMETER), 0;
    memcpy(buffer, path.c_str(), path.size() + 1);
    return (DWORD)path.size();
}
