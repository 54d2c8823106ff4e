// Whole quiet runs (run_uninstaller "-quiet", as the program starts) on simulated Windows XP
// machines of 1, 2, 4 and 8 times a typical one: per unit 2,000 services, 300 device
// instances with their driver keys, 1,500 INF files with PNF twins and 100 uninstall records,
// the driver set installed among them. Machine building is not timed; the time per run and
// the time per unit show whether the run grows linearly.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "base/os_class.h"
#include "base/profile.h"
#include "control/entry_point.h"
#include "control/main_flow.h"
#include "sim/device_tree.h"
#include "sim/machine.h"

namespace {

const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kServices = "System\\CurrentControlSet\\Services\\";
const std::string kInstall = "C:\\Program Files\\halvenor\\K440dT";
const char *const kModemClass = "{4D36E96D-E325-11CE-BFC1-08002BE10318}";
const char *const kPortsClass = "{4D36E978-E325-11CE-BFC1-08002BE10318}";

std::string hex4(unsigned n) {
    char b[8];
    snprintf(b, sizeof b, "%04X", n & 0xFFFF);
    return b;
}

void plant_device(sim::Machine &m, const std::string &instance_id, const std::string &hardware_id,
                  const char *device_class, unsigned number, const std::string &inf,
                  const std::string &provider, bool marker) {
    sim::Device d;
    d.instance_id = instance_id;
    d.hardware_ids = {hardware_id};
    d.device_class = sim::make_guid(device_class);
    d.driver_key = std::string(device_class) + "\\" + hex4(number);
    std::string key = std::string(sim::CLASS_ROOT) + "\\" + d.driver_key;
    m.registry.set_string(key, "InfPath", inf);
    m.registry.set_string(key, "ProviderName", provider);
    m.registry.set_string(key, "DriverDesc", "device " + instance_id);
    if (marker) m.registry.create(key + "\\" + builtin_profile()->product_guid);
    sim::plant_device(m, d);
}

void plant_machine(sim::Machine &m, sim::Process &p, int scale) {
    m.set_os_class(OS_WINXP);
    m.windows_dir = "C:\\WINDOWS";
    m.files.make_dir("C:\\WINDOWS\\system32\\drivers");
    m.registry.create("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
    m.registry.create("System\\CurrentControlSet\\Control\\UsbFlags");
    p.module_path = kInstall + "\\K440dTUn.exe";
    m.files.write_file(p.module_path, "program");
    for (int i = 0; i < 100 * scale; ++i) {
        std::string key = kUninstall + "Application " + std::to_string(i);
        m.registry.set_string(key, "DisplayName", "Application " + std::to_string(i));
        m.registry.set_string(key, "UninstallString", "C:\\Program Files\\App" + std::to_string(i) + "\\uninst.exe");
    }
    for (int i = 0; i < 2000 * scale; ++i) {
        std::string key = kServices + "Service" + std::to_string(i);
        m.registry.set_string(key, "ImagePath", "System32\\DRIVERS\\svc" + std::to_string(i) + ".sys");
        m.registry.set_dword(key, "Start", 3);
        m.registry.set_dword(key, "Type", 1);
        m.registry.set_string(key + "\\Enum", "Count", "0");
    }
    for (int i = 0; i < 1500 * scale; ++i) {
        std::string stem = "C:\\WINDOWS\\inf\\oem" + std::to_string(i);
        m.files.write_file(stem + ".inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n%M%=Models\r\n"
                                          "[Models]\r\n%D%=Install,USB\\VID_1234&PID_" + hex4(i) + "\r\n");
        m.files.write_file(stem + ".PNF", "pnf");
    }
    for (int i = 0; i < 300 * scale; ++i)
        plant_device(m, "USB\\VID_1234&PID_" + hex4(i) + "\\5&" + std::to_string(i), "USB\\VID_1234&PID_" + hex4(i),
                     i % 2 ? kModemClass : kPortsClass, (unsigned)(16 + i), "oem" + std::to_string(i) + ".inf",
                     "Other Corp", false);
    // The driver set.
    m.registry.set_string(kUninstall + "K440dT handset", "UninstallString", kInstall + "\\K440dTUn.exe");
    std::string record = "Software\\TAVO\\" + std::string(builtin_profile()->product_guid);
    m.registry.set_string(record, "InstallPath", kInstall);
    m.registry.set_string(record, "0000", "C:\\WINDOWS\\system32\\K440dTIN.dll");
    m.registry.set_string(kServices + "K440dTuc", "ImagePath", "System32\\DRIVERS\\K440dTuc.sys");
    m.registry.set_string(kServices + "K440dTmdm", "ImagePath", "System32\\DRIVERS\\K440dTcm.sys");
    m.registry.set_value("System\\CurrentControlSet\\Control\\UsbFlags", "IgnoreHWSerNumFFFF0001", 3, {1});
    plant_device(m, "USB\\VID_FFFF&PID_0001&MI_00\\6&1&0&0", "USB\\VID_FFFF&PID_0001&MI_00", kModemClass, 1,
                 "oem90000.inf", "Microsoft", true);
    plant_device(m, "USB\\VID_FFFF&PID_0001&MI_02\\6&1&0&2", "USB\\VID_FFFF&PID_0001&MI_02", kPortsClass, 2,
                 "oem90001.inf", "Halvenor", false);
    for (const char *f : {"C:\\WINDOWS\\inf\\oem90000.inf", "C:\\WINDOWS\\inf\\oem90000.PNF",
                          "C:\\WINDOWS\\inf\\oem90001.inf", "C:\\WINDOWS\\inf\\oem90001.PNF",
                          "C:\\WINDOWS\\system32\\drivers\\K440dTuc.sys", "C:\\WINDOWS\\system32\\drivers\\K440dTcm.sys",
                          "C:\\WINDOWS\\system32\\K440dTIN.dll"})
        m.files.write_file(f, "driver set");
    for (int i = 0; i < 20; ++i) m.files.write_file(kInstall + "\\file" + std::to_string(i) + ".txt", "f");
}

void BM_QuietRunOnXpMachine(benchmark::State &state) {
    int scale = (int)state.range(0);
    product_profile profile = *builtin_profile();
    store_dialog_ids(&profile);
    int rc = 0;
    bool removed = true;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<sim::Machine> machine(new sim::Machine);
        sim::Process process;
        process.machine = machine.get();
        std::unique_ptr<sim::ProcessScope> scope(new sim::ProcessScope(process));
        plant_machine(*machine, process, scale);
        state.ResumeTiming();

        rc = run_uninstaller(&profile, nullptr, "-quiet");

        state.PauseTiming();
        removed = removed && !machine->files.exists("C:\\WINDOWS\\inf\\oem90001.inf") &&
                  !machine->registry.find(kServices + "K440dTuc") &&
                  machine->registry.find(kServices + "Service0") != nullptr;
        scope.reset();
        machine.reset();  // tearing the model down is no part of the run
        state.ResumeTiming();
    }
    if (rc != 2 || !removed) state.SkipWithError("the quiet run did not remove exactly the driver set");
    state.counters["services"] = 2000.0 * scale;
    state.counters["devices"] = 300.0 * scale;
    state.counters["inf_files"] = 1500.0 * scale;
    state.counters["uninstall_records"] = 100.0 * scale;
    state.counters["per_unit"] = benchmark::Counter((double)scale, benchmark::Counter::kIsIterationInvariantRate |
                                                                    benchmark::Counter::kInvert);
}

BENCHMARK(BM_QuietRunOnXpMachine)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace
