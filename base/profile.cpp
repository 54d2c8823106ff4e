#include "base/profile.h"

#include "base/profile_texts.h"

namespace {

// A text of profile_texts.h in both of its languages.
#define BOTH(name) {name, name##_ENGLISH}
#define NO_TEXT {0, 0}

const char *const driver_files[] = {
    "K440dTwh.sys", "K440dTw9.sys", "K440dTwn.sys", "K440dTuc.sys", "K440dTcm.sys",
    "K440dTc9.sys", "K440dTcn.sys", "K440dTm9.vxd", "K440dTvd.vxd", "K440dTvr.vxd",
    "K440dTcr.sys", "K440dTmd.sys", "K440dTox.sys", "K440dTat.sys", "K440dTot.sys",
    "K440dTp2.sys", "K440dTmf.sys", 0};

const char *const device_names[] = {"K440dTCR", 0};
const char *const default_device_ids[] = {"0000", "FFFF/0001", 0};
const char *const no_texts[] = {0};

const char *const fixed_files[] = {
    "C:\\Winnt\\inf\\K440dTuc.inf", "C:\\Winnt\\inf\\K440dTuc.PNF",
    "C:\\Winnt\\inf\\K440dTat.inf", "C:\\Winnt\\inf\\K440dTob.inf",
    "C:\\Winnt\\inf\\K440dTom.inf", "C:\\Winnt\\inf\\K440dTat.PNF",
    "C:\\Winnt\\inf\\K440dTob.PNF", "C:\\Winnt\\inf\\K440dTom.PNF",
    "C:\\Winnt\\inf\\K440dTp2.inf", "C:\\Winnt\\inf\\K440dTp2.PNF",
    "C:\\Windows\\inf\\K440dTuc.inf", "C:\\Windows\\inf\\K440dTuc.PNF",
    "C:\\Windows\\inf\\K440dTob.inf", "C:\\Windows\\inf\\K440dTom.inf",
    "C:\\Windows\\inf\\K440dTaw.inf", "C:\\Windows\\inf\\K440dTow.inf",
    "C:\\Windows\\inf\\K440dTxw.inf", "C:\\Windows\\inf\\K440dTaw.PNF",
    "C:\\Windows\\inf\\K440dTow.PNF", "C:\\Windows\\inf\\K440dTxw.PNF",
    "C:\\Windows\\inf\\K440dTat.INF", "C:\\Windows\\inf\\K440dTat.PNF",
    "C:\\Windows\\inf\\K440dTp2.INF", "C:\\Windows\\inf\\K440dTp2.PNF",
    "C:\\Windows\\SYSTEM32\\DRIVERS\\K440DTUC.SYS", "C:\\Windows\\SYSTEM32\\DRIVERS\\K440DTW9.SYS",
    "C:\\Windows\\SYSTEM32\\DRIVERS\\K440DTOX.SYS", "C:\\Windows\\SYSTEM32\\DRIVERS\\K440DTC9.SYS",
    "C:\\Windows\\SYSTEM32\\DRIVERS\\K440DTCN.SYS", "C:\\Windows\\SYSTEM32\\DRIVERS\\K440DTCR.SYS",
    "C:\\Windows\\SYSTEM32\\DRIVERS\\K440DTOT.SYS", "C:\\Windows\\SYSTEM32\\DRIVERS\\K440DTAT.SYS",
    "C:\\Windows\\SYSTEM32\\DRIVERS\\K440DTCM.SYS", "C:\\Windows\\SYSTEM32\\DRIVERS\\K440DTWH.SYS",
    "C:\\Program Files\\halvenor\\K440dT\\K440dTIN.dll",
    "C:\\Program Files\\halvenor\\K440dT\\K440dTIN.exe", 0};

product_profile the_profile = {
    driver_files,                              // driver_files
    device_names,                              // device_names
    default_device_ids,                        // default_device_ids
    no_texts,                                  // extra_keys
    "K440dTUn.exe",                            // uninstaller_name
    "{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}",  // product_guid
    "K440dT",                                  // short_name
    0,                        // dialog_id, set at start
    0,                        // text_control_id
    0,                        // uninstall_button_id
    0,                        // cancel_button_id
    BOTH(TEXT_UNINSTALL_CAPTION),  // dialog_title
    BOTH(TEXT_DIALOG_TEXT),        // dialog_text
    BOTH(TEXT_UNINSTALL_BUTTON),   // uninstall_button_text
    BOTH(TEXT_CANCEL_BUTTON),      // cancel_button_text
    BOTH(TEXT_UNINSTALL_CAPTION),  // cancelled_caption
    BOTH(TEXT_CANCELLED),          // cancelled_text
    BOTH(TEXT_UNINSTALL_CAPTION),  // success_caption
    BOTH(TEXT_SUCCESS),            // success_text
    BOTH(TEXT_UNINSTALL_CAPTION),  // warning_caption
    NO_TEXT,                       // warning_text
    "",                            // extra_switches
    no_texts,                      // more_driver_files
    BOTH(TEXT_UNINSTALL_CAPTION),  // failure_caption
    BOTH(TEXT_FAILURE),            // failure_text
    NO_TEXT,                       // version_message
    NO_TEXT,                       // not_admin_message
    BOTH(TEXT_DEVICE_CONNECTED),   // device_connected_message
    NO_TEXT,                       // progress_text
    fixed_files,                   // fixed_files
    BOTH(TEXT_PLAN_WRITTEN),       // plan_written_text
    BOTH(TEXT_PLAN_NOT_WRITTEN),   // plan_not_written_text
    BOTH(TEXT_UNINSTALL_CAPTION),  // restart_caption
    BOTH(TEXT_RESTART_QUESTION),   // restart_question
};

}  // namespace

product_profile *builtin_profile(void) { return &the_profile; }

const char *text_in(shown_text text, int language) {
    return language == LANGUAGE_ENGLISH ? text.english : text.japanese;
}

void apply_failure_text_fallback(product_profile *profile) {
    if (profile->failure_text.japanese) return;
    const shown_text fallback = {"Software was not uninstalled successfully",
                                 "Software was not uninstalled successfully"};
    const shown_text caption = {"Uninstall", "Uninstall"};
    profile->failure_text = fallback;
    profile->failure_caption = caption;
}

const char *progress_text_of(const product_profile *profile, int language) {
    const char *text = text_in(profile->progress_text, language);
    return text ? text : "Uninstalling...";
}
