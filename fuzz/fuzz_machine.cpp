#include "fuzz_machine.h"

#include <memory>

namespace {
sim::Machine *g_machine = nullptr;
sim::Process g_process;
}  // namespace

sim::Machine &fresh_fuzz_machine() {
    delete g_machine;
    g_machine = new sim::Machine;
    g_machine->set_os_class(8);
    g_process = sim::Process();
    g_process.machine = g_machine;
    sim::set_current_process(&g_process);
    return *g_machine;
}

std::string input_text(const uint8_t *data, size_t size) {
    std::string text(reinterpret_cast<const char *>(data), size);
    return std::string(text.c_str());
}
