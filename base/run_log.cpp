#include "base/run_log.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "base/run_record.h"
#include "base/text_buffer.h"
#include "platform/win32.h"

namespace {

// The one log of the run. The process runs one run on one thread.
HANDLE log_file = INVALID_HANDLE_VALUE;
char log_path[PATH_SIZE];

// Lines written before a log opens, each with its line end.
char *held = 0;
size_t held_used = 0;
size_t held_size = 0;
int holding = 0;

// What a run holds before its log opens is a header and the inventory's findings; beyond
// this the lines are given up rather than the memory.
const size_t held_limit = 1 << 20;

void write_to_log(const char *text, size_t length) {
    DWORD written = 0;
    WriteFile(log_file, text, (DWORD)length, &written, 0);
}

void keep_held(const char *text, size_t length) {
    if (held_used + length > held_limit) return;
    if (held_used + length > held_size) {
        size_t size = held_size ? held_size * 2 : 4096;
        while (size < held_used + length) size *= 2;
        char *grown = (char *)realloc(held, size);
        if (!grown) return;
        held = grown;
        held_size = size;
    }
    memcpy(held + held_used, text, length);
    held_used += length;
}

}  // namespace

int open_run_log(const char *path) {
    if (log_file != INVALID_HANDLE_VALUE) return 1;
    if (!path || !path[0] || !text_copy(log_path, sizeof log_path, path)) return 0;
    // Readers may look at the log while the run goes on; write-through keeps it on disk.
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, 0, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, 0);
    if (file == INVALID_HANDLE_VALUE) {
        log_path[0] = '\0';
        return 0;
    }
    // Only a file on a disk: a path that reaches a device or a pipe anyway is no log.
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        log_path[0] = '\0';
        return LOG_NOT_A_FILE;
    }
    if (SetFilePointer(file, 0, 0, FILE_END) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR) {
        CloseHandle(file);  // writing from the start would overwrite earlier runs
        log_path[0] = '\0';
        return 0;
    }
    log_file = file;
    if (held_used) write_to_log(held, held_used);
    drop_held_log_lines();
    return 1;
}

int run_log_is_open(void) { return log_file != INVALID_HANDLE_VALUE; }

const char *run_log_path(void) { return run_log_is_open() ? log_path : ""; }

void close_run_log(void) {
    drop_held_log_lines();
    if (log_file == INVALID_HANDLE_VALUE) return;
    CloseHandle(log_file);
    log_file = INVALID_HANDLE_VALUE;
    log_path[0] = '\0';
}

void hold_log_lines(void) { holding = 1; }

void drop_held_log_lines(void) {
    free(held);
    held = 0;
    held_used = held_size = 0;
    holding = 0;
}

void log_line(const char *format, ...) {
    if (log_file == INVALID_HANDLE_VALUE && !holding) return;
    char small[1024];
    va_list arguments;
    va_start(arguments, format);
    int length = vsnprintf(small, sizeof small, format, arguments);
    va_end(arguments);
    if (length < 0) return;
    char *line = small;
    // A line longer than the small buffer is formatted again whole: it is never cut.
    if ((size_t)length + 3 > sizeof small) {
        line = (char *)malloc((size_t)length + 3);
        if (!line) return;
        va_start(arguments, format);
        vsnprintf(line, (size_t)length + 1, format, arguments);
        va_end(arguments);
    }
    memcpy(line + length, "\r\n", 3);
    if (log_file != INVALID_HANDLE_VALUE)
        write_to_log(line, (size_t)length + 2);
    else
        keep_held(line, (size_t)length + 2);
    if (line != small) free(line);
}

const char *failure_text(unsigned long error, char *buffer) {
    if (error > 0xFFFF)
        snprintf(buffer, FAILURE_TEXT_SIZE, "failed (error 0x%08lX)", error);
    else
        snprintf(buffer, FAILURE_TEXT_SIZE, "failed (error %lu)", error);
    return buffer;
}
