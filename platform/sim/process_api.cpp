// Starting programs, system information and GetProcAddress of the simulated platform. A
// started program runs to its end when its starter first waits for it (the simulation has one
// thread): what the starter does between starting it and waiting comes first, as it does on
// Windows, where the program needs far longer to get going.
#include "process_api.h"

#include <cstring>
#include <map>

#include "handle_table.h"
#include "machine.h"
#include "mbcs.h"
#include "system_api.h"
#include "wow64_view.h"

using namespace sim;

namespace {

struct StartedProcess {
    DWORD exit_code = 0;
    bool is_thread = false;
    bool to_run = false;  // not run yet: the image, token and arguments below
    Process child;
    std::string arguments;
};
std::map<uintptr_t, StartedProcess> g_started;

bool close_started(HANDLE handle) {
    auto it = g_started.find(reinterpret_cast<uintptr_t>(handle));
    if (it == g_started.end()) return false;
    g_started.erase(it);
    --current_process().open_handles;
    return true;
}

BOOL fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

int service_pack_number(const std::string &text) {
    size_t digit = text.find_first_of("0123456789");
    return digit == std::string::npos ? 0 : text[digit] - '0';
}

// IsWow64Process came with Windows XP SP2 and Server 2003 SP1, GetNativeSystemInfo with XP;
// Windows 98/ME and 2000 have neither.
bool exported(const std::string &name) {
    const Machine &m = current_machine();
    if (m.missing_exports.count(name) || m.version.platform != VER_PLATFORM_WIN32_NT) return false;
    DWORD major = m.version.major, minor = m.version.minor;
    int pack = service_pack_number(m.version.service_pack);
    if (name == "GetNativeSystemInfo") return major > 5 || (major == 5 && minor >= 1);
    if (name == "IsWow64Process")
        return major > 5 || (major == 5 && minor == 1 && pack >= 2) || (major == 5 && minor >= 2 && pack >= 1);
    return false;
}

void fill_system_info(LPSYSTEM_INFO info, bool x64) {
    memset(info, 0, sizeof *info);
    info->wProcessorArchitecture = x64 ? PROCESSOR_ARCHITECTURE_AMD64 : PROCESSOR_ARCHITECTURE_INTEL;
    info->dwPageSize = 4096;
    info->dwNumberOfProcessors = 2;
    info->dwAllocationGranularity = 65536;
}

// What a GUI program's WinMain receives: the command line after the program name and the
// blanks that follow it.
std::string arguments_after_program_name(const std::string &command_line) {
    size_t i = 0;
    if (!command_line.empty() && command_line[0] == '"') {
        size_t close = command_line.find('"', 1);
        i = close == std::string::npos ? command_line.size() : close + 1;
    } else {
        while (i < command_line.size() && command_line[i] != ' ' && command_line[i] != '\t') ++i;
    }
    while (i < command_line.size() && (command_line[i] == ' ' || command_line[i] == '\t')) ++i;
    return command_line.substr(i);
}

HANDLE new_started_handle(const StartedProcess &started) {
    add_handle_closer(close_started);
    uintptr_t number = new_handle_number();
    g_started[number] = started;
    ++current_process().open_handles;
    return reinterpret_cast<HANDLE>(number);
}

// Runs a started program to its end while its starter waits; without run_program it ends
// with 0.
void run_started(StartedProcess &started) {
    if (!started.to_run) return;
    started.to_run = false;
    Machine &m = current_machine();
    if (!m.run_program) return;
    m.waiting_processes.push_back(&current_process());
    {
        ProcessScope scope(started.child);
        started.exit_code = m.run_program(started.child, started.arguments);
        exit_process(started.child);
    }
    m.waiting_processes.pop_back();
}

// The caller casts the address back to the function's own type before it calls it.
template <typename Function>
FARPROC as_farproc(Function *function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)(void)>(function));
}

}  // namespace

FARPROC kernel32_process_export(LPCSTR name) {
    if (!exported(name)) return nullptr;
    if (strcmp(name, "IsWow64Process") == 0) return as_farproc(&IsWow64Process);
    if (strcmp(name, "GetNativeSystemInfo") == 0) return as_farproc(&GetNativeSystemInfo);
    return nullptr;
}

// The architecture the process runs as: x86 for a 32-bit process, also under WOW64.
void GetSystemInfo(LPSYSTEM_INFO info) {
    record_call("GetSystemInfo", "");
    fill_system_info(info, current_process().is_64bit);
}

void WINAPI GetNativeSystemInfo(LPSYSTEM_INFO info) {
    record_call("GetNativeSystemInfo", "");
    fill_system_info(info, current_machine().x64);
}

BOOL WINAPI IsWow64Process(HANDLE process, PBOOL wow64) {
    record_call("IsWow64Process", "");
    DWORD error;
    if (current_machine().take_fault("IsWow64Process", "", &error)) return fail(error);
    if (process != GetCurrentProcess() || !wow64) return fail(ERROR_INVALID_PARAMETER);
    *wow64 = current_process_under_wow64() ? TRUE : FALSE;
    return TRUE;
}

BOOL CreateProcessA(LPCSTR application, LPSTR command_line, LPSECURITY_ATTRIBUTES process_security,
                    LPSECURITY_ATTRIBUTES thread_security, BOOL inherit_handles,
                    DWORD creation_flags, LPVOID environment, LPCSTR current_directory,
                    LPSTARTUPINFOA startup, LPPROCESS_INFORMATION information) {
    (void)process_security;
    (void)thread_security;
    (void)inherit_handles;
    (void)creation_flags;
    (void)environment;
    (void)current_directory;
    std::string line = command_line ? command_line : "";
    record_call("CreateProcessA", std::string(application ? application : "(null)") + " | " + line);
    Machine &m = current_machine();
    if (!application || !startup || !information) return fail(ERROR_INVALID_PARAMETER);
    DWORD error;
    if (m.take_fault("CreateProcessA", application, &error)) return fail(error);
    FileNode *image = m.files.find(file_view(application));
    if (!image) return fail(ERROR_FILE_NOT_FOUND);
    if (image->is_dir) return fail(ERROR_ACCESS_DENIED);
    if (image->content.compare(0, 2, "MZ") != 0) return fail(ERROR_BAD_EXE_FORMAT);
    bool is_64bit = program_machine(image->content) == 0x8664;
    if (is_64bit && !m.x64) return fail(ERROR_BAD_EXE_FORMAT);

    StartedProcess process;
    process.to_run = true;
    process.child.machine = &m;
    process.child.module_path = image->path();
    process.child.token = current_process().token;
    process.child.is_64bit = is_64bit;
    process.arguments = arguments_after_program_name(line);
    information->hProcess = new_started_handle(process);
    StartedProcess thread;
    thread.is_thread = true;
    information->hThread = new_started_handle(thread);
    information->dwProcessId = 0x100;
    information->dwThreadId = 0x104;
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    (void)milliseconds;
    record_call("WaitForSingleObject", "");
    auto it = g_started.find(reinterpret_cast<uintptr_t>(handle));
    if (it == g_started.end()) return fail(ERROR_INVALID_HANDLE), WAIT_FAILED;
    run_started(it->second);
    return WAIT_OBJECT_0;  // the program has ended
}

BOOL GetExitCodeProcess(HANDLE process, LPDWORD exit_code) {
    record_call("GetExitCodeProcess", "");
    auto it = g_started.find(reinterpret_cast<uintptr_t>(process));
    if (it == g_started.end() || it->second.is_thread || !exit_code) return fail(ERROR_INVALID_HANDLE);
    *exit_code = it->second.to_run ? STILL_ACTIVE : it->second.exit_code;
    return TRUE;
}
