// For each file: "file <path as given>", then "open ok" or "open fail <last error>"; when
// open, every line of [Version], [Manufacturer], [Strings] and of each model section that a
// manufacturer line names (field 1, and field 1 + "." + each further field), as
// "line <section>|<index>|<field 0>|<field 1>|...". A field that SetupGetStringFieldA
// refuses (field 0 of a line without a key) prints as "(none)".
#include "tools/inf_dump.h"

#include <stdlib.h>
#include <string.h>

#include "platform/win32.h"

namespace {

const char refused_field[] = "(none)";

// The text of one field (malloc'ed), or 0 when SetupGetStringFieldA refuses it.
char *read_field(INFCONTEXT *line, DWORD index) {
    DWORD needed = 0;
    if (!SetupGetStringFieldA(line, index, 0, 0, &needed) || needed == 0) return 0;
    char *text = (char *)malloc(needed);
    if (!text) return 0;
    if (!SetupGetStringFieldA(line, index, text, needed, 0)) {
        free(text);
        return 0;
    }
    return text;
}

void dump_section(HINF inf, const char *section, FILE *out) {
    INFCONTEXT line;
    if (!SetupFindFirstLineA(inf, section, 0, &line)) return;
    int index = 0;
    do {
        fprintf(out, "line %s|%d", section, index++);
        DWORD count = SetupGetFieldCount(&line);
        for (DWORD field = 0; field <= count; ++field) {
            char *text = read_field(&line, field);
            fprintf(out, "|%s", text ? text : refused_field);
            free(text);
        }
        fputc('\n', out);
    } while (SetupFindNextLine(&line, &line));
}

// Dumps the sections that one manufacturer line names.
void dump_model_sections(HINF inf, INFCONTEXT *manufacturer, FILE *out) {
    char *models = read_field(manufacturer, 1);
    if (!models) return;
    dump_section(inf, models, out);
    DWORD count = SetupGetFieldCount(manufacturer);
    for (DWORD field = 2; field <= count; ++field) {
        char *decoration = read_field(manufacturer, field);
        if (!decoration) continue;
        size_t size = strlen(models) + 1 + strlen(decoration) + 1;
        char *name = (char *)malloc(size);
        if (name) {
            snprintf(name, size, "%s.%s", models, decoration);
            dump_section(inf, name, out);
            free(name);
        }
        free(decoration);
    }
    free(models);
}

void dump_inf_file(const char *path, FILE *out) {
    fprintf(out, "file %s\n", path);
    HINF inf = SetupOpenInfFileA(path, 0, INF_STYLE_WIN4, 0);
    if (inf == INVALID_HANDLE_VALUE) {
        fprintf(out, "open fail 0x%08lx\n", (unsigned long)GetLastError());
        return;
    }
    fprintf(out, "open ok\n");
    dump_section(inf, "Version", out);
    dump_section(inf, "Manufacturer", out);
    dump_section(inf, "Strings", out);
    INFCONTEXT manufacturer;
    if (SetupFindFirstLineA(inf, "Manufacturer", 0, &manufacturer)) {
        do {
            dump_model_sections(inf, &manufacturer, out);
        } while (SetupFindNextLine(&manufacturer, &manufacturer));
    }
    SetupCloseInfFile(inf);
}

}  // namespace

int dump_inf_files(int count, char **paths, FILE *out) {
    for (int i = 0; i < count; ++i) dump_inf_file(paths[i], out);
    fflush(out);
    return 0;
}
