// The simulated Windows machine: one state (registry, files, devices, version, user interface,
// restart store) that every simulated platform function reads and changes, and the simulated
// processes that run on it. A test plants a machine, runs the program in a process and looks at
// the machine afterwards.
#ifndef K440_SIM_MACHINE_H
#define K440_SIM_MACHINE_H

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "device_model.h"
#include "security_model.h"
#include "win_types.h"

namespace sim {

struct RegValue {
    std::string name;
    DWORD type = 0;
    std::vector<uint8_t> data;  // as the ANSI functions read it
    // Set only for a text that the ANSI code page cannot hold: the data as stored (UTF-16LE).
    // `data` is then its best-fit ANSI form.
    std::vector<uint8_t> unicode_data;
};

struct RegKey {
    std::string name;
    // Set only for a name that the ANSI code page cannot hold: the true name. `name` is then
    // what RegEnumKeyExA hands back for it (its best-fit form), which reaches no key through
    // the ANSI functions, or with a backslash in it a deeper path.
    std::u16string unicode_name;
    RegKey *parent = nullptr;
    std::vector<std::unique_ptr<RegKey>> subkeys;  // in creation order
    // Subkeys by their name with ASCII letters folded, a coarser match than the platform's
    // comparison that child() then confirms: lookups stay constant-time, as the platform's
    // sorted key cells are, however many subkeys a key has. Registry::create and
    // Registry::remove_tree keep it in step with `subkeys`.
    std::unordered_multimap<std::string, RegKey *> child_index;
    std::vector<RegValue> values;                  // in creation order
    KeySecurity security;
    bool deleted = false;
    // Faults: the enumeration of subkeys (or values) fails at this index with this error.
    int subkey_enum_fails_at = -1;
    DWORD subkey_enum_error = 0;
    int value_enum_fails_at = -1;
    DWORD value_enum_error = 0;

    RegKey *child(const std::string &child_name) const;
    RegValue *value(const std::string &value_name);
    std::string path() const;  // relative to the root, without the root's name
    bool has_foreign_name() const { return !unicode_name.empty(); }
};

struct Registry {
    Registry();
    std::unique_ptr<RegKey> hklm;
    std::vector<std::unique_ptr<RegKey>> graveyard;  // deleted keys that handles may still name

    RegKey *find(const std::string &path) const;  // nullptr when missing
    RegKey *create(const std::string &path);      // creates every missing component
    void set_value(const std::string &key_path, const std::string &name, DWORD type,
                   const std::vector<uint8_t> &data);
    void set_string(const std::string &key_path, const std::string &name,
                    const std::string &text);  // REG_SZ with terminator
    void set_dword(const std::string &key_path, const std::string &name, DWORD value);
    // A string value stored as Unicode (the NT family's registry): what the ANSI functions
    // read is its best-fit form. `terminated` false stores it without its terminator.
    void set_unicode_string(const std::string &key_path, const std::string &name, DWORD type,
                            const std::u16string &text, bool terminated = true);
    // A key whose true name is the Unicode `name`, as the NT family keeps it: a name the code
    // page holds exactly is planted as its ANSI text; any other only the Unicode functions
    // reach (nullptr when `parent_path` cannot be created).
    RegKey *create_unicode_key(const std::string &parent_path, const std::u16string &name);
    bool has_value(const std::string &key_path, const std::string &name) const;
    // Deletes a key with its subkeys, moving it to the graveyard; true when it existed.
    bool remove_tree(const std::string &path);
};

struct FileNode {
    std::string name;
    std::string short_name;  // 8.3 name; empty when the long name is already one
    // Set only for a name that the ANSI code page cannot hold: the true name. `name` is then
    // what the ANSI listing hands back for it (its best-fit form), which reaches no entry; the
    // ANSI functions reach the entry through its 8.3 name alone.
    std::u16string unicode_name;
    bool is_dir = false;
    DWORD attributes = FILE_ATTRIBUTE_ARCHIVE_VALUE;
    std::string content;
    // Mapped by a running program (a loaded driver or DLL): cannot be deleted, but can be
    // renamed within its volume, as the running program's own image can.
    bool in_use = false;
    FileNode *parent = nullptr;
    std::vector<std::unique_ptr<FileNode>> children;

    static constexpr DWORD FILE_ATTRIBUTE_ARCHIVE_VALUE = 0x20;
    FileNode *child(const std::string &child_name) const;
    // The ANSI path that reaches the entry; for a foreign name without an 8.3 name, its
    // best-fit form, which reaches no entry or another one.
    std::string path() const;
    bool has_foreign_name() const { return !unicode_name.empty(); }
};

struct PendingRename {
    std::string source;
    std::string target;  // empty: delete at restart
};

struct FileSystem {
    FileSystem();
    std::map<char, std::unique_ptr<FileNode>> drives;  // upper-case drive letter -> root

    FileNode *find(const std::string &path) const;
    FileNode *make_dir(const std::string &path);  // creates every missing folder
    FileNode *write_file(const std::string &path, const std::string &content,
                         DWORD attributes = 0x20);
    // A file whose true name is the Unicode `name`, as the NT family keeps it: a name the
    // code page holds exactly is planted as its ANSI text; any other is reached by the ANSI
    // functions through `short_name` alone (empty: not at all).
    FileNode *write_unicode_file(const std::string &folder, const std::u16string &name,
                                 const std::string &short_name, const std::string &content,
                                 DWORD attributes = 0x20);
    bool exists(const std::string &path) const { return find(path) != nullptr; }
    bool remove(const std::string &path);  // removes a file or a folder tree
    // Moves a file to `target` (a free name in an existing folder); false when it cannot.
    bool rename_file(const std::string &source, const std::string &target);
    std::vector<std::string> list_all() const;  // every path, depth first
};

struct VersionInfo {
    bool query_fails = false;
    DWORD platform = 2;
    DWORD major = 5;
    DWORD minor = 1;
    DWORD build = 2600;
    std::string service_pack = "Service Pack 2";
};

// Version answers for each OS class: 1 Windows 95, 2 95 OSR2, 3 98, 4 98 SE, 5 ME, 6 NT 4.0,
// 7 2000, 8 XP, 9 Server 2003, 10 Vista; 0 a failing query.
VersionInfo version_for_class(int os_class);

// A window's text is kept twice: as the ANSI functions read it back, and as the user reads it
// (what GetWindowTextW reads back). A text set through the ANSI functions reads in the ANSI
// code page; one set through the Unicode functions reads as it was given.
struct MessageBoxRecord {
    std::string text;
    std::string caption;
    std::u16string unicode_text;
    std::u16string unicode_caption;
    UINT style = 0;
    bool has_owner = false;
    bool unicode = false;  // shown by MessageBoxW
};

// A control of a dialog: as the template gives it, then as the program changes it.
struct DialogControl {
    int id = 0;
    std::string window_class;  // "Button", "Static"
    std::string text;
    std::u16string unicode_text;
    DWORD style = 0;
    bool visible = true;
    uintptr_t handle = 0;
    uintptr_t font = 0;  // WM_SETFONT's font; 0: the template's
};

// A dialog template of the program's resources.
struct DialogTemplate {
    std::string title;
    DWORD style = 0;
    std::vector<DialogControl> controls;  // in template order
};

// The dialog templates the built program carries, read from its resource script
// (resources/dialog.rc) by dialog_script.h; a script it cannot read ends the process.
std::map<int, DialogTemplate> product_dialog_templates();

// What the simulated user does while a dialog is open: press a button (a click reaches only a
// visible button), the Escape key, the Enter key, or the close box of the title bar.
struct DialogInput {
    enum Kind { PRESS, ESCAPE, ENTER, CLOSE_BOX } kind = PRESS;
    int control_id = 0;
};

// One dialog window as it stands (while open) or as it was when it was destroyed.
struct DialogWindow {
    int template_id = 0;
    uintptr_t handle = 0;
    std::string title;
    std::u16string unicode_title;
    bool unicode = false;  // made by DialogBoxParamW
    std::vector<DialogControl> controls;
    bool open = false;
    bool ended = false;       // EndDialog was called
    INT_PTR result = 0;       // the value given to EndDialog
    int inputs_delivered = 0; // user inputs that reached the open dialog
    bool left_open = false;   // the script ran out of input and the dialog did not end

    DialogControl *control(int id);
    const DialogControl *control(int id) const;
};

struct UiScript {
    std::vector<MessageBoxRecord> boxes;
    // Answers a message box; by default every box is answered as its first button (IDOK).
    std::function<int(const MessageBoxRecord &)> answer_box;

    // Dialogs: the templates DialogBoxParamA finds, the inputs of the simulated user (taken in
    // order across dialogs), and every dialog shown. When the inputs run out the user presses
    // Enter once (the default button); a dialog that still does not end is left open and
    // DialogBoxParamA returns -1, where the real platform would wait for ever.
    std::map<int, DialogTemplate> dialog_templates = product_dialog_templates();
    std::vector<DialogInput> dialog_inputs;
    bool enter_when_out_of_input = true;
    std::vector<DialogWindow> dialogs;

    // Whether the process's window station is one a user sees (NT family): not in the service
    // session of a deployment tool, where a box or dialog waits for no one.
    bool window_station_visible = true;

    // The restart prompt of SetupPromptReboot: whether the user agrees to restart now.
    bool restart_prompt_accepted = false;
    int restart_prompts = 0;
};

struct Call {
    std::string function;
    std::string detail;
};

// A fault planted for one platform function: the calls whose detail text contains `subject`
// fail with `error`, starting after `skip` matching calls, for `times` calls (-1: always).
struct Fault {
    std::string function;
    std::string subject;
    DWORD error = 0;
    int skip = 0;
    int times = -1;
};

struct Process;

struct Machine {
    Registry registry;
    FileSystem files;
    DeviceTree devices;
    VersionInfo version;
    UiScript ui;
    std::string windows_dir = "C:\\WINDOWS";
    std::string temp_path = "C:\\WINDOWS\\Temp\\";  // GetTempPathA, trailing backslash
    SYSTEMTIME local_time = {2026, 12, 2, 8, 23, 5, 9, 0};  // GetLocalTime
    unsigned code_page = 932;  // the ANSI code page, 932 or 1252
    // Code page 932's table (a Western Windows without East Asian support lacks it) and the
    // user's UI language (GetUserDefaultUILanguage), Japanese by default.
    bool code_page_932 = true;
    WORD ui_language = 0x0411;
    std::map<std::string, int> mutexes;  // named mutex -> open handle count
    std::vector<Call> calls;
    // Called with every platform call as it is recorded, so that a test can look at the
    // machine (for example a dialog's texts) at the moment a given call is made.
    std::function<void(const Call &)> on_call;
    std::vector<Fault> faults;
    // SetupUninstallOEMInfA answers success and removes nothing, as Wine's does without the
    // force flag.
    bool oem_inf_uninstall_keeps_files = false;
    std::vector<PendingRename> pending_renames;  // MoveFileExA with MOVEFILE_DELAY_UNTIL_REBOOT
    int restarts = 0;               // restarts carried out by restart()
    int restart_requests = 0;       // ExitWindowsEx / SetupPromptReboot accepted
    // Platform calls that changed the machine (registry, files, devices, restart store), and
    // the one after which the running process is killed (0: never).
    int mutating_calls = 0;
    int kill_after_mutating_call = 0;
    // 64-bit Windows: a 32-bit process runs under WOW64, where System32 is SysWOW64 and
    // HKLM\Software is Software\Wow6432Node (platform/sim/wow64_view.h).
    bool x64 = false;
    // The service manager (NT family): a service is a key under Services with a Type value.
    // Services that run, and those marked for deletion, by their names in lower case: a
    // marked service's key goes when its last handle closes while it is stopped, else at
    // the next restart (platform/sim/service_manager.cpp).
    std::set<std::string> running_services;
    std::set<std::string> services_marked_for_delete;
    // Functions that GetProcAddress does not find on this machine beyond those its version
    // lacks (kernel32's in process_api.cpp, setupapi's in module_api.cpp), and modules, by
    // their lower-case file name ("setupapi.dll"), that LoadLibraryA does not find.
    std::set<std::string> missing_exports;
    // Runs a program that CreateProcessA started, as the process `child`, with the arguments
    // after its name, and returns its exit code; without one a started program ends with 0.
    std::function<DWORD(Process &child, const std::string &arguments)> run_program;
    // Processes that wait for a program they started: their images are in use.
    std::vector<Process *> waiting_processes;

    void set_os_class(int os_class) { version = version_for_class(os_class); }
    bool is_nt() const { return version.platform == 2; }
    // True (and consumes one occurrence) when a planted fault hits this call.
    bool take_fault(const char *function, const std::string &detail, DWORD *error);
    std::vector<Call> calls_to(const std::string &function) const;
};

struct Process {
    Machine *machine = nullptr;
    std::string module_path = "C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe";
    // The image file once it was renamed while running; GetModuleFileNameA still answers
    // module_path, the name it was started under.
    std::string renamed_image;
    DWORD last_error = 0;
    Token token = administrator_token();
    bool is_64bit = false;  // a 64-bit program (only on a machine with `x64`)
    std::map<uintptr_t, std::string> mutex_handles;  // handle -> name
    int open_handles = 0;  // keys, searches, files, device sets and INF handles not yet closed
    // Modules loaded with LoadLibraryA and not yet freed, with their counts; the modules the
    // program imports are loaded from its start.
    std::map<std::string, int> module_loads;
    // Service manager handles not yet closed: the service's name in lower case (empty for
    // the manager itself) and the access granted; a killed process's handles go with it.
    std::map<uintptr_t, std::pair<std::string, DWORD>> service_handles;
};

// Content of a simulated program file: the headers a loader reads, then anything. CreateProcessA
// starts a file that begins with "MZ", as a 64-bit program when its PE header's machine field
// says x86-64.
extern const std::string X86_PROGRAM_IMAGE;
extern const std::string X64_PROGRAM_IMAGE;
// The machine field of a program image's PE header; 0 when it has none.
unsigned int program_machine(const std::string &image);

// Ends a process as the platform does: its named mutexes lose the handles it held.
void exit_process(Process &process);

// Thrown out of the platform call that ends a killed process: nothing after it runs, and the
// process's open handles are simply dropped.
struct ProcessKilled {
    int mutating_call = 0;
};

// Counts a call that has just changed the machine; kills the process (throws ProcessKilled)
// when it is the call the machine was told to stop after.
void count_mutating_call();

// The process the simulated functions run in. Tests install one with ProcessScope.
Process &current_process();
Machine &current_machine();
bool has_current_process();
void set_current_process(Process *process);

// Installs a process for the lifetime of the scope, restoring the previous one afterwards.
class ProcessScope {
  public:
    explicit ProcessScope(Process &process);
    ~ProcessScope();
    ProcessScope(const ProcessScope &) = delete;
    ProcessScope &operator=(const ProcessScope &) = delete;

  private:
    Process *previous_;
};

// Records a platform call in the current machine's call record.
void record_call(const char *function, const std::string &detail);
std::string hex(DWORD value);

// Handle numbers shared by every kind of simulated handle, so that two kinds never collide.
uintptr_t new_handle_number();

}  // namespace sim

#endif
