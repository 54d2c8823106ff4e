#include "base/text_buffer.h"

#include <string.h>

int text_copy(char *buffer, size_t size, const char *text) {
    size_t length = strlen(text);
    if (size == 0) return 0;
    if (length >= size) {
        buffer[0] = '\0';
        return 0;
    }
    memcpy(buffer, text, length + 1);
    return 1;
}

int text_append(char *buffer, size_t size, const char *text) {
    size_t used = strlen(buffer);
    size_t length = strlen(text);
    if (used + length >= size) return 0;
    memcpy(buffer + used, text, length + 1);
    return 1;
}

int text_join(char *buffer, size_t size, const char *first, const char *separator,
              const char *second) {
    if (!text_copy(buffer, size, first) || !text_append(buffer, size, separator) ||
        !text_append(buffer, size, second)) {
        if (size) buffer[0] = '\0';
        return 0;
    }
    return 1;
}
