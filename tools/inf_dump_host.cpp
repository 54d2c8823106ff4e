// inf_dump [-code_page 1252] -from <host folder> <INF path>...: the simulated SetupAPI's
// reading of each file (see inf_dump.cpp). Every path names a file of the simulated machine
// (Windows folder C:\windows, code page 932 as a Japanese Wine prefix, or the one given); its
// content is the host file of the same name in <host folder>.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "platform/sim/fixture_loader.h"
#include "platform/sim/machine.h"
#include "tools/inf_dump.h"

namespace {

int usage() {
    fprintf(stderr, "usage: inf_dump [-code_page 932|1252] -from <host folder> <INF path>...\n");
    return 2;
}

std::string file_name_of(const std::string &windows_path) {
    size_t slash = windows_path.find_last_of("\\/");
    return slash == std::string::npos ? windows_path : windows_path.substr(slash + 1);
}

}  // namespace

int main(int argc, char **argv) {
    unsigned code_page = 932;
    if (argc > 2 && strcmp(argv[1], "-code_page") == 0) {
        code_page = (unsigned)atoi(argv[2]);
        if (code_page != 932 && code_page != 1252) return usage();
        argc -= 2;
        argv += 2;
    }
    if (argc < 3 || strcmp(argv[1], "-from") != 0) return usage();
    std::string folder = argv[2];
    sim::Machine machine;
    machine.code_page = code_page;
    sim::Process process;
    process.machine = &machine;
    sim::ProcessScope scope(process);
    machine.windows_dir = "C:\\windows";
    machine.files.make_dir("C:\\windows\\inf");
    for (int i = 3; i < argc; ++i) {
        std::string content;
        std::string host_path = folder + "/" + file_name_of(argv[i]);
        if (!sim::read_text_file(host_path, &content)) {
            fprintf(stderr, "inf_dump: cannot read %s\n", host_path.c_str());
            return 2;
        }
        std::string windows_path = argv[i];
        if (windows_path.find('\\') == std::string::npos)
            windows_path = machine.windows_dir + "\\inf\\" + windows_path;
        machine.files.write_file(windows_path, content);
    }
    return dump_inf_files(argc - 3, argv + 3, stdout);
}
