// Texts composed in fixed buffers. Composition refuses what does not fit instead of cutting
// it, so that an overlong path never turns into the name of another file or key.
#ifndef K440_BASE_TEXT_BUFFER_H
#define K440_BASE_TEXT_BUFFER_H

#include <stddef.h>

// Copies `text` into `buffer` of `size` bytes. Returns 1, or 0 (buffer empty) when it does
// not fit with its terminator.
int text_copy(char *buffer, size_t size, const char *text);
// Appends `text`; returns 0 and leaves the buffer as it was when the result would not fit.
int text_append(char *buffer, size_t size, const char *text);
// buffer = first + separator + second; 0 (buffer empty) when it does not fit.
int text_join(char *buffer, size_t size, const char *first, const char *separator,
              const char *second);

#endif
