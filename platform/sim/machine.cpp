#include "machine.h"

#include <cstdio>
#include <cstdlib>

#include "mbcs.h"

namespace sim {

namespace {

Process *g_process = nullptr;
uintptr_t g_next_handle = 0x1000;

}  // namespace

VersionInfo version_for_class(int os_class) {
    VersionInfo v;
    auto set = [&v](DWORD platform, DWORD major, DWORD minor, DWORD build, const char *sp) {
        v.platform = platform;
        v.major = major;
        v.minor = minor;
        v.build = build;
        v.service_pack = sp;
    };
    switch (os_class) {
        case 0: v.query_fails = true; break;
        case 1: set(1, 4, 0, 0x040003B6, ""); break;
        case 2: set(1, 4, 0, 0x04000457, " B"); break;
        case 3: set(1, 4, 10, 0x040A07CE, ""); break;
        case 4: set(1, 4, 10, 0x040A08AE, " A "); break;
        case 5: set(1, 4, 90, 0x045A0BB8, " "); break;
        case 6: set(2, 4, 0, 1381, "Service Pack 6a"); break;
        case 7: set(2, 5, 0, 2195, "Service Pack 4"); break;
        case 8: set(2, 5, 1, 2600, "Service Pack 3"); break;
        case 9: set(2, 5, 2, 3790, "Service Pack 2"); break;
        default: set(2, 6, 0, 6002, "Service Pack 2"); break;
    }
    return v;
}

bool Machine::take_fault(const char *function, const std::string &detail, DWORD *error) {
    for (auto it = faults.begin(); it != faults.end(); ++it) {
        if (it->function != function) continue;
        if (!it->subject.empty() && lower(detail).find(lower(it->subject)) == std::string::npos)
            continue;
        if (it->skip > 0) {
            --it->skip;
            continue;
        }
        *error = it->error;
        if (it->times > 0 && --it->times == 0) faults.erase(it);
        return true;
    }
    return false;
}

std::vector<Call> Machine::calls_to(const std::string &function) const {
    std::vector<Call> out;
    for (const Call &c : calls)
        if (c.function == function) out.push_back(c);
    return out;
}

namespace {

// The headers as far as a loader reads them to tell the machine: "MZ", the offset of the PE
// header at 0x3C, "PE\0\0" and the machine field.
std::string program_image(unsigned int machine_type) {
    std::string image(0x46, '\0');
    image[0] = 'M';
    image[1] = 'Z';
    image[0x3C] = 0x40;
    image.replace(0x40, 4, std::string("PE\0\0", 4));
    image[0x44] = (char)(machine_type & 0xFF);
    image[0x45] = (char)(machine_type >> 8);
    return image + " GUI program";
}

}  // namespace

const std::string X86_PROGRAM_IMAGE = program_image(0x014C);
const std::string X64_PROGRAM_IMAGE = program_image(0x8664);

unsigned int program_machine(const std::string &image) {
    if (image.size() < 0x40 || image.compare(0, 2, "MZ") != 0) return 0;
    size_t header = (unsigned char)image[0x3C] | (unsigned char)image[0x3D] << 8 |
                    (size_t)(unsigned char)image[0x3E] << 16 | (size_t)(unsigned char)image[0x3F] << 24;
    if (header > image.size() || image.size() - header < 6 ||
        image.compare(header, 4, std::string("PE\0\0", 4)) != 0)
        return 0;
    return (unsigned char)image[header + 4] | (unsigned char)image[header + 5] << 8;
}

void exit_process(Process &process) {
    for (const auto &handle : process.mutex_handles) {
        auto it = process.machine->mutexes.find(handle.second);
        if (it != process.machine->mutexes.end() && --it->second <= 0)
            process.machine->mutexes.erase(it);
        --process.open_handles;
    }
    process.mutex_handles.clear();
}

void count_mutating_call() {
    Machine &m = current_machine();
    ++m.mutating_calls;
    if (m.kill_after_mutating_call > 0 && m.mutating_calls == m.kill_after_mutating_call) {
        ProcessKilled killed;
        killed.mutating_call = m.mutating_calls;
        throw killed;
    }
}

Process &current_process() {
    if (!g_process) {
        std::fprintf(stderr, "simulated platform called without a current process\n");
        std::abort();
    }
    return *g_process;
}

Machine &current_machine() { return *current_process().machine; }
bool has_current_process() { return g_process != nullptr && g_process->machine != nullptr; }
void set_current_process(Process *process) { g_process = process; }

ProcessScope::ProcessScope(Process &process) : previous_(g_process) { g_process = &process; }
ProcessScope::~ProcessScope() { g_process = previous_; }

void record_call(const char *function, const std::string &detail) {
    Call c;
    c.function = function;
    c.detail = detail;
    Machine &m = current_machine();
    m.calls.push_back(c);
    if (m.on_call) m.on_call(c);
}

std::string hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", (unsigned)value);
    return text;
}

uintptr_t new_handle_number() {
    g_next_handle += 4;
    return g_next_handle;
}

}  // namespace sim
