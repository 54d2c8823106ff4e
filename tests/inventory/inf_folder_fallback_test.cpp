// The INF-folder search of OEM INF discovery over INF files written in the ways Windows reads
// differently from a naive parser (e2e/fixtures/inf-fallback, which the end-to-end case plants
// under Wine as well): the quiet run takes exactly the files of taken.txt.
#include <fstream>
#include <string>

#include "sim/fixture_loader.h"
#include "sim/mbcs.h"
#include "sim/snapshot_lines.h"
#include "support/sim_test.h"

namespace {

std::string e2e_fixture(const std::string &name) {
    return std::string(K440_SOURCE_DIR) + "/e2e/fixtures/" + name;
}

// The INF files named in taken.txt (lines not starting with "#"), in upper case.
line_set taken_infs() {
    std::ifstream in(e2e_fixture("inf-fallback/taken.txt"));
    line_set out;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') out.insert("C:\\WINDOWS\\INF\\" + line);
    return out;
}

class InfFolderFallback : public SimTest {};

TEST_F(InfFolderFallback, QuietRunTakesTheInfFilesWindowsReadsAsTheProducts) {
    std::string error;
    ASSERT_TRUE(sim::load_machine(machine, e2e_fixture("inf-fallback"), &error)) << error;
    // The device list of all classes fails once: the inventory's own request for it.
    sim::Fault fault;
    fault.function = "SetupDiGetClassDevsA";
    fault.subject = "(null) 0x4";
    fault.error = ERROR_INVALID_PARAMETER;
    fault.times = 1;
    machine.faults.push_back(fault);
    line_set before = file_lines(files_snapshot());

    run("-quiet");

    line_set removed_infs;
    for (const std::string &line : minus(before, file_lines(files_snapshot()))) {
        std::string path = line.substr(0, line.find(' '));
        std::string upper = sim::upper(path);
        if (upper.rfind("C:\\WINDOWS\\INF\\", 0) == 0 && upper.size() > 4 &&
            upper.compare(upper.size() - 4, 4, ".INF") == 0)
            removed_infs.insert(upper);
    }
    ASSERT_FALSE(taken_infs().empty());
    EXPECT_EQ(joined(taken_infs()), joined(removed_infs));
    EXPECT_TRUE(machine.faults.empty()) << "the device list should have been asked for";
}

}  // namespace
