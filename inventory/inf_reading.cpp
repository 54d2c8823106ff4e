#include "inventory/inf_reading.h"

#include "base/device_matching.h"
#include "base/mbtext.h"
#include "base/options.h"
#include "platform/win32.h"

namespace {

const char options_section[] = "Strings";
const char options_key[] = "TAVOOptions";
const char version_marker[] = "notinstallonwin";
// The OS word starts at the "win" that ends the marker.
const size_t version_word_offset = sizeof version_marker - 1 - 3;

HINF open_inf(const char *inf_path) {
    return SetupOpenInfFileA(inf_path, 0, INF_STYLE_WIN4, 0);
}

// 1 when the options name the running OS class in a "notinstallonwin..." word.
int options_exclude(const char *options, int os_class) {
    int excluded = 0;
    const char *position = options;
    for (const char *hit; (hit = mb_find_text(position, version_marker)) != 0;) {
        int names_running_os = 0;
        position = match_os_word(hit + version_word_offset, os_class, &names_running_os);
        if (names_running_os) excluded = 1;
    }
    return excluded;
}

}  // namespace

int inf_allows_uninstall(const char *inf_path, int os_class, int skip_validation) {
    if (skip_validation) return 1;
    char options[INF_OPTIONS_SIZE];
    options[0] = '\0';
    HINF inf = open_inf(inf_path);
    if (inf == INVALID_HANDLE_VALUE) return 0;
    int found = 0;
    INFCONTEXT line;
    if (SetupFindFirstLineA(inf, options_section, options_key, &line) &&
        SetupGetStringFieldA(&line, 1, options, sizeof options, 0)) {
        mb_lower(options);
        found = 1;
    }
    SetupCloseInfFile(inf);
    if (!found || !mb_find_text(options, "uninstallable")) return 0;
    return !options_exclude(options, os_class);
}

int inf_list_model_sections(const char *inf_path, string_list_entry **list) {
    HINF inf = open_inf(inf_path);
    if (inf == INVALID_HANDLE_VALUE) return 0;
    int added = 0;
    INFCONTEXT line;
    if (SetupFindFirstLineA(inf, "Manufacturer", 0, &line)) {
        do {
            char section[INF_SECTION_NAME_SIZE];
            if (SetupGetStringFieldA(&line, 1, section, sizeof section, 0) &&
                push_string(list, section))
                added = 1;
        } while (SetupFindNextLine(&line, &line));
    }
    SetupCloseInfFile(inf);
    return added;
}

int inf_section_names_device(const char *inf_path, const char *section,
                             const string_list_entry *device_ids,
                             const string_list_entry *device_names) {
    HINF inf = open_inf(inf_path);
    if (inf == INVALID_HANDLE_VALUE) return 0;
    int names = 0;
    INFCONTEXT line;
    if (SetupFindFirstLineA(inf, section, 0, &line)) {
        do {
            char hardware_id[INF_HARDWARE_ID_SIZE];
            if (SetupGetStringFieldA(&line, 2, hardware_id, sizeof hardware_id, 0) &&
                hardware_id_matches(hardware_id, device_ids, device_names))
                names = 1;
        } while (!names && SetupFindNextLine(&line, &line));
    }
    SetupCloseInfFile(inf);
    return names;
}

int inf_names_device(const char *inf_path, const string_list_entry *device_ids,
                     const string_list_entry *device_names) {
    string_list_entry *sections = 0;
    if (!inf_list_model_sections(inf_path, &sections)) return 0;
    int names = 0;
    for (const string_list_entry *s = sections; s && !names; s = s->next)
        names = inf_section_names_device(inf_path, s->text, device_ids, device_names);
    free_string_list(sections);
    return names;
}
