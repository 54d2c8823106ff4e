// The PNF twin of an INF path: the platform's preprocessed copy beside it, the same text
// with everything from its last "." replaced by ".pnf".
#ifndef K440_BASE_PNF_TWIN_H
#define K440_BASE_PNF_TWIN_H

#include <stddef.h>

// Writes the twin of `path` into `buffer`. Returns 0 (buffer empty) when the file name has no
// "." (there is no extension to replace) or the twin does not fit.
int pnf_twin_of(const char *path, char *buffer, size_t size);

#endif
