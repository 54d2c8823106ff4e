// What a whole run must remove from a fixture machine, kept beside the fixture in
// tests/fixtures/<name>/expected.txt so that the host test and the end-to-end case read one
// list (the file's head describes its lines).
#ifndef K440_TESTS_EXPECTED_REMOVALS_H
#define K440_TESTS_EXPECTED_REMOVALS_H

#include <string>
#include <utility>
#include <vector>

struct expected_removals {
    std::vector<std::string> keys;
    std::vector<std::string> keys_on_me;
    std::vector<std::pair<std::string, std::string>> values;  // key, value name
    std::vector<std::string> files;
    std::vector<std::string> files_at_restart;
};

// Reads tests/fixtures/<fixture>/expected.txt; false with a reason for an unreadable file or
// a line of unknown kind or shape.
bool read_expected_removals(const std::string &fixture, expected_removals *out,
                            std::string *error);

#endif
