// Simulated machines for the device and INF benchmarks: a process on a Windows XP machine
// with a device tree or an INF directory of a given size.
#ifndef K440_BENCH_DEVICE_BENCH_MACHINE_H
#define K440_BENCH_DEVICE_BENCH_MACHINE_H

#include <cstring>
#include <memory>
#include <string>

#include "base/os_class.h"
#include "base/profile.h"
#include "base/run_record.h"
#include "sim/device_tree.h"
#include "sim/machine.h"

struct BenchMachine {
    sim::Machine machine;
    sim::Process process;
    std::unique_ptr<sim::ProcessScope> scope;
    run_record record;

    BenchMachine() {
        process.machine = &machine;
        scope.reset(new sim::ProcessScope(process));
        machine.set_os_class(OS_WINXP);
        machine.files.make_dir("C:\\WINDOWS\\inf");
        std::memset(&record, 0, sizeof record);
        record.profile = builtin_profile();
        record.os_class = OS_WINXP;
        std::strcpy(record.windows_dir, "C:\\WINDOWS");
        push_string(&record.device_ids, "0000");
        push_string(&record.device_ids, "FFFF/0001");
        push_string(&record.device_names, "K440dTCR");
    }
    ~BenchMachine() { free_run_lists(&record); }
};

#endif
