// A simulated Windows XP machine with one process, shared by the inputs of a fuzz target.
#ifndef K440_FUZZ_FUZZ_MACHINE_H
#define K440_FUZZ_FUZZ_MACHINE_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "sim/machine.h"

// The machine, reset to a plain XP state before each input.
sim::Machine &fresh_fuzz_machine();
// The input as a NUL-terminated text (NUL bytes inside end it early, as for any C text).
std::string input_text(const uint8_t *data, size_t size);

#endif
