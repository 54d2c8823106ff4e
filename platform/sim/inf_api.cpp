// SetupAPI's INF functions of the simulated platform, reading INF files from the machine's
// file system. An INF handle holds the parsed file; a context names a section and a line.
#include "inf_api.h"

#include <cstring>

#include "inf_parser.h"
#include "machine.h"
#include "mbcs.h"
#include "system_api.h"

using namespace sim;

namespace {

std::map<uintptr_t, InfFile> g_infs;

BOOL fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

InfFile *inf_of(PVOID handle) {
    auto it = g_infs.find(reinterpret_cast<uintptr_t>(handle));
    return it == g_infs.end() ? nullptr : &it->second;
}

const InfLine *line_of(PINFCONTEXT context) {
    if (!context) return nullptr;
    InfFile *inf = inf_of(context->CurrentInf);
    if (!inf || context->Section >= inf->sections.size()) return nullptr;
    const InfSection &s = inf->sections[context->Section];
    return context->Line < s.lines.size() ? &s.lines[context->Line] : nullptr;
}

std::string version_value(const InfFile &inf, const char *key) {
    const InfSection *version = inf.section("Version");
    if (version)
        for (const InfLine &l : version->lines)
            if (l.has_key && equal_nocase(l.key, key) && !l.fields.empty()) return l.fields[0];
    return "";
}

}  // namespace

HINF SetupOpenInfFileA(PCSTR file_name, PCSTR inf_class, DWORD inf_style, PUINT error_line) {
    std::string path = file_name ? file_name : "";
    record_call("SetupOpenInfFileA", path + " " + hex(inf_style));
    if (error_line) *error_line = 0;
    Machine &m = current_machine();
    if (path.empty()) return fail(ERROR_INVALID_PARAMETER), INVALID_HANDLE_VALUE;
    // A bare file name is looked for in the INF directory.
    if (path.find('\\') == std::string::npos) path = m.windows_dir + "\\inf\\" + path;
    FileNode *node = m.files.find(path);
    if (!node) return fail(ERROR_FILE_NOT_FOUND), INVALID_HANDLE_VALUE;
    if (node->is_dir) return fail(ERROR_ACCESS_DENIED), INVALID_HANDLE_VALUE;
    DWORD error;
    if (m.take_fault("SetupOpenInfFileA", path, &error)) return fail(error), INVALID_HANDLE_VALUE;
    InfFile inf = parse_inf(node->content);
    // Only the Windows 95 / NT 4 style is modelled; a file without its signature is refused.
    if (!(inf_style & INF_STYLE_WIN4) || !inf_has_win4_signature(inf))
        return fail(ERROR_WRONG_INF_STYLE), INVALID_HANDLE_VALUE;
    if (inf_class && !equal_nocase(version_value(inf, "Class"), inf_class))
        return fail(ERROR_CLASS_MISMATCH), INVALID_HANDLE_VALUE;
    uintptr_t number = new_handle_number();
    g_infs[number] = inf;
    ++current_process().open_handles;
    SetLastError(ERROR_SUCCESS);
    return reinterpret_cast<HINF>(number);
}

void SetupCloseInfFile(HINF inf) {
    record_call("SetupCloseInfFile", "");
    auto it = g_infs.find(reinterpret_cast<uintptr_t>(inf));
    if (it == g_infs.end()) return;
    g_infs.erase(it);
    --current_process().open_handles;
}

BOOL SetupFindFirstLineA(HINF handle, PCSTR section, PCSTR key, PINFCONTEXT context) {
    record_call("SetupFindFirstLineA", std::string(section ? section : "") + " " + (key ? key : "(null)"));
    InfFile *inf = inf_of(handle);
    if (!inf) return fail(ERROR_INVALID_HANDLE);
    if (!section || !context) return fail(ERROR_INVALID_PARAMETER);
    for (size_t s = 0; s < inf->sections.size(); ++s) {
        if (!equal_nocase(inf->sections[s].name, section)) continue;
        const std::vector<InfLine> &lines = inf->sections[s].lines;
        for (size_t l = 0; l < lines.size(); ++l) {
            if (key && !equal_nocase(lines[l].key, key)) continue;
            context->Inf = handle;
            context->CurrentInf = handle;
            context->Section = (UINT)s;
            context->Line = (UINT)l;
            SetLastError(ERROR_SUCCESS);
            return TRUE;
        }
    }
    return fail(ERROR_LINE_NOT_FOUND);
}

BOOL SetupFindNextLine(PINFCONTEXT context_in, PINFCONTEXT context_out) {
    record_call("SetupFindNextLine", "");
    if (!context_in || !context_out) return fail(ERROR_INVALID_PARAMETER);
    InfFile *inf = inf_of(context_in->CurrentInf);
    if (!inf || context_in->Section >= inf->sections.size()) return fail(ERROR_INVALID_PARAMETER);
    if (context_in->Line + 1 >= inf->sections[context_in->Section].lines.size())
        return fail(ERROR_LINE_NOT_FOUND);
    INFCONTEXT next = *context_in;
    ++next.Line;
    *context_out = next;
    return TRUE;
}

BOOL SetupGetStringFieldA(PINFCONTEXT context, DWORD field_index, PSTR buffer, DWORD size,
                          PDWORD required) {
    record_call("SetupGetStringFieldA", std::to_string(field_index) + " " + std::to_string(size));
    const InfLine *line = line_of(context);
    if (!line) return fail(ERROR_INVALID_PARAMETER);
    const std::string *text = nullptr;
    if (field_index == 0) {
        if (line->has_key || line->fields.size() == 1) text = &line->key;
    } else if (field_index <= line->fields.size()) {
        text = &line->fields[field_index - 1];
    }
    if (!text) return fail(ERROR_INVALID_PARAMETER);
    DWORD needed = (DWORD)text->size() + 1;
    if (required) *required = needed;
    if (!buffer) return TRUE;  // a size query
    if (size < needed) return fail(ERROR_INSUFFICIENT_BUFFER);
    memcpy(buffer, text->c_str(), needed);
    return TRUE;
}
