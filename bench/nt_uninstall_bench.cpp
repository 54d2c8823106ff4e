// Inventory plus removal on simulated NT machines of growing size: uninstall records,
// services (a tenth of them the driver set's) and the keys below the queued trees all grow
// with the scale. Reports the time of one run (machine building excluded) and the process's
// peak memory over every run up to that one (the resident-set high-water mark).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstring>
#include <memory>
#include <string>

#include "base/os_class.h"
#include "base/profile.h"
#include "base/run_record.h"
#include "inventory/collect_inventory.h"
#include "removal/run_removal.h"
#include "sim/machine.h"

namespace {

const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kServices = "System\\CurrentControlSet\\Services\\";

// scale = uninstall records; services = 2/5 of it; keys under queued trees = 4 times it.
void plant(sim::Machine &m, int scale, const product_profile &profile) {
    m.set_os_class(OS_WINXP);
    m.files.make_dir("C:\\WINDOWS\\system32\\drivers");
    m.files.make_dir("C:\\WINDOWS\\inf");
    for (int i = 0; i < scale; ++i)
        m.registry.set_string(kUninstall + "App" + std::to_string(i), "UninstallString",
                              "C:\\Program Files\\App" + std::to_string(i) + "\\uninst.exe");
    m.registry.set_string(kUninstall + "K440dT", "UninstallString",
                          "C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe");
    std::string record = "Software\\TAVO\\" + std::string(profile.product_guid);
    m.registry.set_string(record, "InstallPath", "C:\\Program Files\\halvenor\\K440dT");
    int services = scale * 2 / 5;
    int matching = services / 10;
    int tree_keys = scale * 4;
    for (int i = 0; i < services; ++i) {
        bool ours = i % 10 == 0;
        m.registry.set_string(kServices + "Svc" + std::to_string(i), "ImagePath",
                              ours ? "System32\\DRIVERS\\K440dTuc.sys" : "System32\\DRIVERS\\other.sys");
    }
    // Half of the tree keys below the product record, half below the matching services, in
    // groups of 20 children with 4 grandchildren each.
    int planted = 0;
    for (int g = 0; planted < tree_keys; ++g) {
        std::string base = g % 2 == 0 || matching == 0
                               ? record + "\\Group" + std::to_string(g)
                               : kServices + "Svc" + std::to_string((g / 2 % matching) * 10) +
                                     "\\Group" + std::to_string(g);
        for (int c = 0; c < 20 && planted < tree_keys; ++c) {
            std::string child = base + "\\C" + std::to_string(c);
            for (int gc = 0; gc < 4 && planted < tree_keys; ++gc, ++planted)
                m.registry.set_string(child + "\\G" + std::to_string(gc), "V", "x");
        }
    }
    for (int i = 0; i < 50; ++i)
        m.files.write_file("C:\\Program Files\\halvenor\\K440dT\\f" + std::to_string(i) + ".txt", "f");
    m.files.write_file("C:\\WINDOWS\\system32\\drivers\\K440dTuc.sys", "d");
}

long peak_rss_kb() {
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_NtInventoryAndRemoval(benchmark::State &state) {
    int scale = (int)state.range(0);
    product_profile profile = *builtin_profile();
    size_t keys_left = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<sim::Machine> owned(new sim::Machine);
        sim::Machine &machine = *owned;
        sim::Process process;
        process.machine = &machine;
        std::unique_ptr<sim::ProcessScope> scope(new sim::ProcessScope(process));
        plant(machine, scale, profile);
        run_record record;
        std::memset(&record, 0, sizeof record);
        record.profile = &profile;
        record.os_class = OS_WINXP;
        state.ResumeTiming();

        collect_inventory(&record);
        run_removal(&record);
        free_run_lists(&record);

        state.PauseTiming();
        keys_left = machine.registry.find("Software\\TAVO\\" + std::string(profile.product_guid)) ? 1 : 0;
        scope.reset();
        owned.reset();  // tearing the model down is no part of the run
        state.ResumeTiming();
    }
    if (keys_left) state.SkipWithError("the product record was not deleted");
    state.counters["uninstall_records"] = scale;
    state.counters["services"] = scale * 2 / 5;
    state.counters["tree_keys"] = scale * 4;
    state.counters["peak_rss_kb"] = (double)peak_rss_kb();
}

BENCHMARK(BM_NtInventoryAndRemoval)->Arg(625)->Arg(1250)->Arg(2500)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace
