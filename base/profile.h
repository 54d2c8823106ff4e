// The product profile: everything that belongs to the one product this uninstaller serves
// (file names, device ids, product GUID and every text the user sees), in one record. Names
// are code page 932; a list is a NULL-terminated array of texts.
#ifndef K440_BASE_PROFILE_H
#define K440_BASE_PROFILE_H

typedef const char *const *text_list;

// The languages of the texts the user sees; a run shows one of them (control/language_choice.h).
enum text_language { LANGUAGE_JAPANESE = 1, LANGUAGE_ENGLISH = 2 };

// A text the user sees, in both languages: Japanese as code page 932 bytes, English in ASCII,
// which every code page reads alike. A text is present in both languages or in neither, so
// that the language never changes what a run checks or asks.
struct shown_text {
    const char *japanese;
    const char *english;
};

// The text in the language (Japanese unless English is asked for); 0 when absent.
const char *text_in(shown_text text, int language);

struct product_profile {
    text_list driver_files;
    text_list device_names;
    text_list default_device_ids;
    text_list extra_keys;
    const char *uninstaller_name;
    const char *product_guid;
    const char *short_name;
    unsigned short dialog_id;
    unsigned short text_control_id;
    unsigned short uninstall_button_id;
    unsigned short cancel_button_id;
    shown_text dialog_title;
    shown_text dialog_text;
    shown_text uninstall_button_text;
    shown_text cancel_button_text;
    shown_text cancelled_caption;
    shown_text cancelled_text;
    shown_text success_caption;
    shown_text success_text;
    shown_text warning_caption;
    shown_text warning_text;
    const char *extra_switches;
    text_list more_driver_files;
    shown_text failure_caption;
    shown_text failure_text;
    shown_text version_message;
    shown_text not_admin_message;
    shown_text device_connected_message;
    shown_text progress_text;
    text_list fixed_files;
    // The box of a dry run that is not quiet: the first text is followed by the log's path.
    shown_text plan_written_text;
    shown_text plan_not_written_text;
    // The program's own restart question, asked where the platform's prompt is missing.
    shown_text restart_caption;
    shown_text restart_question;
};

// The built-in profile. The entry point stores the dialog ids into it, and the failure box
// may store fallback texts; nothing else changes it.
product_profile *builtin_profile(void);

// An absent failure text becomes "Software was not uninstalled successfully" under the
// caption "Uninstall"; a present one leaves both fields alone.
void apply_failure_text_fallback(product_profile *profile);

// The text the dialog shows while the removal runs, in the language.
const char *progress_text_of(const product_profile *profile, int language);

#endif
