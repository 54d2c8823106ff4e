// The device passes over large device trees: collecting the product's driver keys, and the
// removal pass, each walking every device instance of every class.
#include <benchmark/benchmark.h>

#include "base/device_properties.h"
#include "inventory/driver_keys.h"
#include "device_bench_machine.h"
#include "inventory/oem_inf_discovery.h"
#include "removal/device_removal.h"

namespace {

const char modem_class[] = "{4D36E96D-E325-11CE-BFC1-08002BE10318}";

// n device instances, one in twenty of them the product's, each with a driver key.
void plant_tree(sim::Machine &machine, int n) {
    for (int i = 0; i < n; ++i) {
        sim::Device d;
        bool product = i % 20 == 0;
        d.instance_id = (product ? "USB\\VID_FFFF&PID_0001\\" : "PCI\\VEN_8086&DEV_1234\\") + std::to_string(i);
        d.hardware_ids = {product ? "USB\\VID_FFFF&PID_0001&REV_0100" : "PCI\\VEN_8086&DEV_1234&SUBSYS_0001",
                          "PCI\\VEN_8086&DEV_1234"};
        d.device_class = sim::make_guid(modem_class);
        char number[8];
        std::snprintf(number, sizeof number, "%04d", i % 10000);
        d.driver_key = std::string(modem_class) + "\\" + number;
        std::string key = std::string(sim::CLASS_ROOT) + "\\" + d.driver_key;
        machine.registry.set_string(key, "InfPath", product ? "oem1.inf" : "machine.inf");
        machine.registry.set_string(key, "ProviderName", product ? "Halvenor" : "Microsoft");
        sim::plant_device(machine, d);
    }
}

void BM_CollectDriverKeys(benchmark::State &state) {
    BenchMachine m;
    plant_tree(m.machine, (int)state.range(0));
    for (auto _ : state) {
        string_list_entry *keys = nullptr;
        benchmark::DoNotOptimize(collect_driver_keys(m.record.device_ids, m.record.device_names, &keys, nullptr, nullptr));
        free_string_list(keys);
        state.PauseTiming();
        m.machine.calls.clear();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CollectDriverKeys)->RangeMultiplier(2)->Range(625, 5000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

void BM_DiscoverOemInfsThroughDriverKeys(benchmark::State &state) {
    BenchMachine m;
    plant_tree(m.machine, (int)state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(discover_oem_infs(&m.record));
        state.PauseTiming();
        m.record.driver_keys = free_string_list(m.record.driver_keys);
        m.record.files_to_delete = free_string_list(m.record.files_to_delete);
        m.machine.calls.clear();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_DiscoverOemInfsThroughDriverKeys)->RangeMultiplier(2)->Range(625, 5000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

void BM_RemoveMatchingDevices(benchmark::State &state) {
    for (auto _ : state) {
        state.PauseTiming();
        BenchMachine *m = new BenchMachine;
        plant_tree(m->machine, (int)state.range(0));
        state.ResumeTiming();
        benchmark::DoNotOptimize(disable_interface_devices(&m->record));
        benchmark::DoNotOptimize(remove_matching_devices(&m->record));
        state.PauseTiming();
        delete m;
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RemoveMatchingDevices)->RangeMultiplier(2)->Range(625, 5000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

}  // namespace
