// inf_dump.exe <INF path>...: the real SetupAPI's reading of each file (see inf_dump.cpp).
#include <fcntl.h>
#include <io.h>

#include "tools/inf_dump.h"

int main(int argc, char **argv) {
    // Field texts are printed byte for byte, without newline translation.
    _setmode(_fileno(stdout), _O_BINARY);
    return dump_inf_files(argc - 1, argv + 1, stdout);
}
