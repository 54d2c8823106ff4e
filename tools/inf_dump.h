// inf_dump: prints what the platform's INF parser reads from INF files, so that the host
// build (the simulated SetupAPI) and the Windows build (the real one, or Wine's) can be
// compared file by file.
#ifndef K440_TOOLS_INF_DUMP_H
#define K440_TOOLS_INF_DUMP_H

#include <stdio.h>

// Dumps each path in turn to `out`; returns 0.
int dump_inf_files(int count, char **paths, FILE *out);

#endif
