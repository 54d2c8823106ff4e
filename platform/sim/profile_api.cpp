// Profile-file functions of the simulated platform (kernel32), ANSI forms. A file name
// without a path names a file in the Windows directory. Reading a missing file finds
// nothing; writing creates it (its folder must exist). Multi-string answers that do not fit
// are cut to the buffer and end in two terminators, and the answer is then the buffer size
// minus 2, as the platform documents.
#include <cstring>

#include "files_api.h"
#include "machine.h"
#include "mbcs.h"
#include "profile_file.h"
#include "system_api.h"

using namespace sim;

namespace {

std::string profile_path(LPCSTR file) {
    std::string name = file ? file : "win.ini";
    if (name.find('\\') == std::string::npos && name.find(':') == std::string::npos)
        return current_machine().windows_dir + "\\" + name;
    return name;
}

bool fail(DWORD error) {
    SetLastError(error);
    return false;
}

// The file's profile, empty when it does not exist; false (with the error set) when it
// cannot be written.
bool load_for_write(const std::string &path, ProfileFile *profile) {
    Machine &m = current_machine();
    FileNode *node = m.files.find(path);
    if (node && node->is_dir) return fail(ERROR_ACCESS_DENIED);
    if (node && (node->attributes & FILE_ATTRIBUTE_READONLY)) return fail(ERROR_ACCESS_DENIED);
    if (!node) {
        size_t slash = path.rfind('\\');
        FileNode *dir = slash == std::string::npos ? nullptr : m.files.find(path.substr(0, slash));
        if (!dir || !dir->is_dir) return fail(ERROR_PATH_NOT_FOUND);
        return true;
    }
    *profile = ProfileFile::parse(node->content);
    return true;
}

void store(const std::string &path, const ProfileFile &profile) {
    Machine &m = current_machine();
    FileNode *node = m.files.find(path);
    DWORD attributes = node ? node->attributes : FILE_ATTRIBUTE_ARCHIVE;
    m.files.write_file(path, profile.text(), attributes);
}

bool load_for_read(const std::string &path, ProfileFile *profile) {
    FileNode *node = current_machine().files.find(path);
    if (!node || node->is_dir) return false;
    *profile = ProfileFile::parse(node->content);
    return true;
}

// Copies a list of strings (each with its terminator) ended by one more terminator.
DWORD copy_multi(const std::vector<std::string> &items, LPSTR buffer, DWORD size) {
    std::string out;
    for (const std::string &item : items) out += item + '\0';
    if (size == 0) return 0;
    if (out.size() + 1 <= size) {
        memcpy(buffer, out.data(), out.size());
        buffer[out.size()] = '\0';
        if (out.empty() && size > 1) buffer[1] = '\0';
        return (DWORD)out.size();
    }
    if (size <= 2) {
        memset(buffer, 0, size);
        return 0;
    }
    memcpy(buffer, out.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

std::string unquoted(const std::string &value) {
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
    record_call("WritePrivateProfileStringA", std::string(section ? section : "(null)") + " " +
                                                  (key ? key : "(null)") + "=" +
                                                  (value ? value : "(null)") + " " +
                                                  (file ? file : "(null)"));
    // All three missing: the request to write the cached file out; the profile here is
    // never cached, and the platform answers FALSE all the same.
    if (!section && !key && !value) return FALSE;
    if (!section) return fail(ERROR_INVALID_PARAMETER);
    std::string path = profile_path(file);
    DWORD error;
    if (current_machine().take_fault("WritePrivateProfileStringA", path, &error)) return fail(error);
    ProfileFile profile;
    if (!load_for_write(path, &profile)) return FALSE;
    if (!key)
        profile.delete_section(section);
    else if (!value)
        profile.delete_key(section, key);
    else
        profile.set_value(section, key, value);
    store(path, profile);
    count_mutating_call();
    return TRUE;
}

BOOL WritePrivateProfileSectionA(LPCSTR section, LPCSTR lines, LPCSTR file) {
    std::vector<std::string> body;
    std::string detail = std::string(section ? section : "(null)") + " ";
    for (LPCSTR p = lines; p && *p; p += strlen(p) + 1) {
        // Entries are "key=value"; an entry without "=" is not written.
        if (strchr(p, '=')) body.push_back(p);
        detail += std::string(p) + "|";
    }
    record_call("WritePrivateProfileSectionA", detail + " " + (file ? file : "(null)"));
    if (!section) return fail(ERROR_INVALID_PARAMETER);
    std::string path = profile_path(file);
    DWORD error;
    if (current_machine().take_fault("WritePrivateProfileSectionA", path, &error)) return fail(error);
    ProfileFile profile;
    if (!load_for_write(path, &profile)) return FALSE;
    if (!lines)
        profile.delete_section(section);
    else
        profile.replace_section(section, body);
    store(path, profile);
    count_mutating_call();
    return TRUE;
}

DWORD GetPrivateProfileSectionA(LPCSTR section, LPSTR buffer, DWORD size, LPCSTR file) {
    record_call("GetPrivateProfileSectionA", std::string(section ? section : "(null)") + " " +
                                                 std::to_string(size) + " " + (file ? file : ""));
    if (!section || !buffer) return fail(ERROR_INVALID_PARAMETER), 0;
    std::string path = profile_path(file);
    ProfileFile profile;
    std::vector<ProfileEntry> entries;
    if (load_for_read(path, &profile)) profile.section_entries(section, &entries);
    std::vector<std::string> items;
    for (const ProfileEntry &e : entries)
        items.push_back(e.has_value ? e.key + "=" + e.value : e.key);
    return copy_multi(items, buffer, size);
}

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR default_text, LPSTR buffer,
                               DWORD size, LPCSTR file) {
    record_call("GetPrivateProfileStringA", std::string(section ? section : "(null)") + " " +
                                                (key ? key : "(null)") + " " + (file ? file : ""));
    if (!buffer || size == 0) return 0;
    std::string path = profile_path(file);
    ProfileFile profile;
    bool loaded = load_for_read(path, &profile);
    if (!section) return copy_multi(loaded ? profile.section_names() : std::vector<std::string>(),
                                    buffer, size);
    std::vector<ProfileEntry> entries;
    if (loaded) profile.section_entries(section, &entries);
    if (!key) {
        std::vector<std::string> keys;
        for (const ProfileEntry &e : entries)
            if (e.has_value) keys.push_back(e.key);
        return copy_multi(keys, buffer, size);
    }
    std::string answer = default_text ? trim_blanks(default_text) : "";
    for (const ProfileEntry &e : entries) {
        if (e.has_value && equal_nocase(e.key, trim_blanks(key))) {
            answer = unquoted(e.value);
            break;
        }
    }
    if (answer.size() + 1 > size) answer.resize(size - 1);
    memcpy(buffer, answer.c_str(), answer.size() + 1);
    return (DWORD)answer.size();
}
