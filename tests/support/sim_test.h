// The fixture of the host tests: one simulated machine (Windows XP unless a test says
// otherwise) with one process of the uninstaller running on it, and a copy of the built-in
// profile with the ids the entry point sets.
#ifndef K440_TESTS_SIM_TEST_H
#define K440_TESTS_SIM_TEST_H

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/profile.h"
#include "base/run_record.h"
#include "control/main_flow.h"
#include "sim/fixture_loader.h"
#include "sim/machine.h"

class SimTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the whole program in the test's process with the given command-line text.
    int run(const char *command_line);
    // A fresh run record as the main flow makes it, with the test's profile and OS class.
    run_record new_record(int os_class = -1);
    void use_os(int os_class);
    // Loads tests/fixtures/<name> into the machine.
    void load_fixture(const std::string &name);
    // The same fixture as a 32-bit installer leaves it on 64-bit Windows: its records in
    // Software\Wow6432Node.
    void load_fixture_installed_by_32bit_setup(const std::string &name);
    std::string registry_snapshot() const { return sim::export_registry(machine.registry); }
    std::string files_snapshot() const { return sim::export_files(machine.files); }

    sim::Machine machine;
    sim::Process process;
    product_profile profile;
    bool expect_handles_closed = true;

  private:
    std::unique_ptr<sim::ProcessScope> scope_;
};

std::string fixture_path(const std::string &relative);

#endif
