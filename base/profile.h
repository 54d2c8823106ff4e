// The product profile: everything that belongs to the one product this uninstaller serves
// (file names, device ids, product GUID and every text the user sees), in one record. Texts
// are code page 932; a list is a NULL-terminated array of texts.
#ifndef K440_BASE_PROFILE_H
#define K440_BASE_PROFILE_H

typedef const char *const *text_list;

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
    const char *dialog_title;
    const char *dialog_text;
    const char *uninstall_button_text;
    const char *cancel_button_text;
    const char *cancelled_caption;
    const char *cancelled_text;
    const char *success_caption;
    const char *success_text;
    const char *warning_caption;
    const char *warning_text;
    const char *extra_switches;
    text_list more_driver_files;
    const char *failure_caption;
    const char *failure_text;
    const char *version_message;
    const char *not_admin_message;
    const char *device_connected_message;
    const char *progress_text;
    text_list fixed_files;
    // The box of a dry run that is not quiet: the first text is followed by the log's path.
    const char *plan_written_text;
    const char *plan_not_written_text;
    // The program's own restart question, asked where the platform's prompt is missing.
    const char *restart_caption;
    const char *restart_question;
};

// The built-in profile. The entry point stores the dialog ids into it, and the failure box
// may store fallback texts; nothing else changes it.
product_profile *builtin_profile(void);

// An absent failure text becomes "Software was not uninstalled successfully" under the
// caption "Uninstall"; a present one leaves both fields alone.
void apply_failure_text_fallback(product_profile *profile);

// The text the dialog shows while the removal runs.
const char *progress_text_of(const product_profile *profile);

#endif
