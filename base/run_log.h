// The run log: a plain-text file in the ANSI code page with CRLF line ends that a run appends
// to when "-log_file:<path>" or "-dry_run" asks for one. Steps write their findings and
// actions as they go; every line goes to the system at once, so that what was written outlives
// a crash of the program. Without an open log (and while none is awaited) writing does nothing.
#ifndef K440_BASE_RUN_LOG_H
#define K440_BASE_RUN_LOG_H

// Opens the file for appending, creating it when missing. 1 when the log is open (also when it
// was open already); 0 when the file cannot be opened, which stops nothing; LOG_NOT_A_FILE when
// what opened is no file on a disk (a device, a pipe), which is not written to.
#define LOG_NOT_A_FILE (-1)
int open_run_log(const char *path);
int run_log_is_open(void);
// The path the open log was opened with; "" when none is open.
const char *run_log_path(void);
void close_run_log(void);

// Until a log opens, lines are kept in memory so that the log gets them in order; once it is
// settled that none opens, drop_held_log_lines releases them and stops keeping more.
void hold_log_lines(void);
void drop_held_log_lines(void);

// Writes one line, formatted as printf does; the line end is added.
void log_line(const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

#define FAILURE_TEXT_SIZE 40

// The outcome of a failed call for a log line: "failed (error 5)"; errors with the high bits
// set (SetupAPI's own) in hexadecimal, as the platform's headers write them:
// "failed (error 0xE0000235)". Returns `buffer` (FAILURE_TEXT_SIZE bytes).
const char *failure_text(unsigned long error, char *buffer);

#endif
