// The INF-directory fallback over an INF folder the size of Windows XP's (1,500 files): every
// "*.inf" is opened for its options, and the ones that pass for their models.
#include <benchmark/benchmark.h>

#include "device_bench_machine.h"
#include "inventory/oem_inf_discovery.h"

namespace {

// A Microsoft-style INF of a few kilobytes: no options entry, a manufacturer with two model
// sections, install sections and strings. One in fifty is the product's.
std::string inf_text(int i) {
    bool product = i % 50 == 0;
    std::string t = "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Net\r\nProvider=%Msft%\r\n"
                    "DriverVer=07/01/2001,5.1.2600.0\r\n\r\n[Manufacturer]\r\n%Msft%=Models,NTx86\r\n"
                    "%Other%=Others\r\n\r\n[Models]\r\n";
    for (int m = 0; m < 12; ++m)
        t += "%Desc" + std::to_string(m) + "%=Install" + std::to_string(m) + ", " +
             (product && m == 11 ? "USB\\VID_FFFF&PID_0001&MI_00" : "PCI\\VEN_10EC&DEV_81" + std::to_string(m)) +
             ", PCI\\VEN_10EC\r\n";
    t += "\r\n[Others]\r\n%Desc0%=Install0, *PNP0C0" + std::to_string(i % 10) + "\r\n\r\n";
    for (int s = 0; s < 12; ++s)
        t += "[Install" + std::to_string(s) + "]\r\nCopyFiles=Files" + std::to_string(s) +
             "\r\nAddReg=Reg" + std::to_string(s) + "\r\n\r\n[Reg" + std::to_string(s) +
             "]\r\nHKR,,DevLoader,,*ntkern\r\nHKR,,NTMPDriver,,driver" + std::to_string(s) + ".sys\r\n\r\n";
    t += "[Strings]\r\nMsft=\"Microsoft\"\r\nOther=\"Other\"\r\n";
    for (int m = 0; m < 12; ++m) t += "Desc" + std::to_string(m) + "=\"Network adapter " + std::to_string(m) + "\"\r\n";
    if (product) t += "TAVOOptions=\"uninstallable,notinstallonwin98\"\r\n";
    return t;
}

void plant_inf_directory(sim::Machine &machine, int n) {
    for (int i = 0; i < n; ++i)
        machine.files.write_file("C:\\WINDOWS\\inf\\" + std::string(i % 50 == 0 ? "oem" : "net") +
                                     std::to_string(i) + ".inf", inf_text(i));
}

void run_fallback(benchmark::State &state, int skip_validation) {
    BenchMachine m;
    plant_inf_directory(m.machine, (int)state.range(0));
    m.machine.devices.class_devs_fail = true;  // the device list cannot be built: the fallback runs
    m.record.skip_inf_validation = skip_validation;
    int found = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(discover_oem_infs(&m.record));
        state.PauseTiming();
        found = string_list_length(m.record.files_to_delete) / 2;
        m.record.files_to_delete = free_string_list(m.record.files_to_delete);
        m.machine.calls.clear();
        state.ResumeTiming();
    }
    state.counters["infs_found"] = found;
    state.SetComplexityN(state.range(0));
}

void BM_InfDirectoryFallback(benchmark::State &state) { run_fallback(state, 0); }
void BM_InfDirectoryFallbackSkippingValidation(benchmark::State &state) { run_fallback(state, 1); }

BENCHMARK(BM_InfDirectoryFallback)->Arg(375)->Arg(750)->Arg(1500)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InfDirectoryFallbackSkippingValidation)->Arg(375)->Arg(750)->Arg(1500)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

}  // namespace
