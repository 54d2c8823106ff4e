// SetupAPI's INF functions of the simulated platform, reading INF files from the machine's
// file system. An INF handle holds the parsed file; a context names a section and a line.
#include "inf_api.h"

#include <cstring>

#include "inf_parser.h"
#include "inf_strings.h"
#include "inf_text.h"
#include "machine.h"
#include "mbcs.h"
#include "setupapi_exports.h"
#include "system_api.h"

using namespace sim;

namespace {

struct OpenInf {
    InfFile inf;
    std::string path;
    std::string windows_dir;
    InfSource source() const { return InfSource{&inf, path, windows_dir}; }
};

std::map<uintptr_t, OpenInf> g_infs;

BOOL fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

OpenInf *open_inf_of(PVOID handle) {
    auto it = g_infs.find(reinterpret_cast<uintptr_t>(handle));
    return it == g_infs.end() ? nullptr : &it->second;
}

InfFile *inf_of(PVOID handle) {
    OpenInf *open = open_inf_of(handle);
    return open ? &open->inf : nullptr;
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

HINF setupapi_dll::SetupOpenInfFileA(PCSTR file_name, PCSTR inf_class, DWORD inf_style, PUINT error_line) {
    std::string path = file_name ? file_name : "";
    record_call("SetupOpenInfFileA", path + " " + hex(inf_style));
    if (error_line) *error_line = 0;
    Machine &m = current_machine();
    if (path.empty()) return fail(ERROR_INVALID_PARAMETER), INVALID_HANDLE_VALUE;
    // A bare file name is looked for in the INF directory, then in system32.
    if (path.find('\\') == std::string::npos && path.find('/') == std::string::npos) {
        std::string in_inf = m.windows_dir + "\\inf\\" + path;
        path = m.files.find(in_inf) ? in_inf : m.windows_dir + "\\system32\\" + path;
    }
    FileNode *node = m.files.find(path);
    if (!node) return fail(ERROR_FILE_NOT_FOUND), INVALID_HANDLE_VALUE;
    if (node->is_dir) return fail(ERROR_ACCESS_DENIED), INVALID_HANDLE_VALUE;
    DWORD error;
    if (m.take_fault("SetupOpenInfFileA", path, &error)) return fail(error), INVALID_HANDLE_VALUE;
    OpenInf open;
    open.path = path;
    open.windows_dir = m.windows_dir;
    error = parse_inf(inf_text_in_code_page(node->content, m.code_page), &open.inf);
    if (error) return fail(error), INVALID_HANDLE_VALUE;
    // Only the Windows 95 / NT 4 style is modelled; a file without its signature is refused.
    if (!(inf_style & INF_STYLE_WIN4) || !inf_has_win4_signature(open.inf))
        return fail(ERROR_WRONG_INF_STYLE), INVALID_HANDLE_VALUE;
    if (inf_class && !equal_nocase(inf_substitute(open.source(), version_value(open.inf, "Class")), inf_class))
        return fail(ERROR_CLASS_MISMATCH), INVALID_HANDLE_VALUE;
    uintptr_t number = new_handle_number();
    g_infs[number] = open;
    ++current_process().open_handles;
    SetLastError(ERROR_SUCCESS);
    return reinterpret_cast<HINF>(number);
}

void setupapi_dll::SetupCloseInfFile(HINF inf) {
    record_call("SetupCloseInfFile", "");
    auto it = g_infs.find(reinterpret_cast<uintptr_t>(inf));
    if (it == g_infs.end()) return;
    g_infs.erase(it);
    --current_process().open_handles;
}

BOOL setupapi_dll::SetupFindFirstLineA(HINF handle, PCSTR section, PCSTR key, PINFCONTEXT context) {
    record_call("SetupFindFirstLineA", std::string(section ? section : "") + " " + (key ? key : "(null)"));
    OpenInf *open = open_inf_of(handle);
    if (!open) return fail(ERROR_INVALID_HANDLE);
    if (!section || !context) return fail(ERROR_INVALID_PARAMETER);
    InfFile *inf = &open->inf;
    for (size_t s = 0; s < inf->sections.size(); ++s) {
        if (!inf_names_equal(inf->sections[s].name, section)) continue;
        const std::vector<InfLine> &lines = inf->sections[s].lines;
        for (size_t l = 0; l < lines.size(); ++l) {
            // Keys are matched as they read, after substitution.
            if (key && (!lines[l].has_key ||
                        !inf_names_equal(inf_substitute(open->source(), lines[l].key), key)))
                continue;
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

BOOL setupapi_dll::SetupFindNextLine(PINFCONTEXT context_in, PINFCONTEXT context_out) {
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

BOOL setupapi_dll::SetupGetStringFieldA(PINFCONTEXT context, DWORD field_index, PSTR buffer, DWORD size,
                          PDWORD required) {
    record_call("SetupGetStringFieldA", std::to_string(field_index) + " " + std::to_string(size));
    const InfLine *line = line_of(context);
    if (!line) return fail(ERROR_INVALID_PARAMETER);
    const std::string *raw = nullptr;
    if (field_index == 0) {
        if (line->has_key) raw = &line->key;
    } else if (field_index <= line->fields.size()) {
        raw = &line->fields[field_index - 1];
    }
    if (!raw) return fail(ERROR_INVALID_PARAMETER);
    std::string text = inf_substitute(open_inf_of(context->CurrentInf)->source(), *raw);
    DWORD needed = (DWORD)text.size() + 1;
    if (required) *required = needed;
    if (!buffer) return TRUE;  // a size query
    if (size < needed) return fail(ERROR_INSUFFICIENT_BUFFER);
    memcpy(buffer, text.c_str(), needed);
    return TRUE;
}

DWORD SetupGetFieldCount(PINFCONTEXT context) {
    record_call("SetupGetFieldCount", "");
    const InfLine *line = line_of(context);
    return line ? (DWORD)line->fields.size() : 0;
}
