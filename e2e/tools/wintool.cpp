// wintool: runs inside the test prefix beside the product and looks at, or answers, the
// dialogs and message boxes it shows. The end-to-end harness (e2e/harness.py) drives it; each
// command prints one record per line, fields separated by tabs, so the harness can parse it.
//
//   wintool wait  [-t ms] [-c class]          wait for a visible top-level window, dump it
//   wintool dump  [-c class] [-w hwnd]        dump every matching window (or one)
//   wintool click   -w hwnd id                press a button: BM_CLICK (posted)
//   wintool command -w hwnd id                WM_COMMAND(id, BN_CLICKED) to the dialog
//   wintool escape  -w hwnd                   the Escape key (to the focused control)
//   wintool close   -w hwnd                   the close box: WM_SYSCOMMAND SC_CLOSE
//   wintool watch [-t ms] [-a answer] -- cmd  run cmd, dump and answer every box it shows
//                                             answer: default (the default button), escape,
//                                             close, none, or a control id
//   wintool desktop                           wait until the desktop and its display are
//                                             set up; print the screen size
//   wintool locale                            print the ANSI code page and the user's UI
//                                             language
//   wintool hold path...                      open the files without delete sharing (in use)
//                                             until standard input closes
//   wintool trace -w hwnd [-t ms]             print the window's controls each time a text or
//                                             a visibility changes, until the window is gone;
//                                             reads without sending messages, so it sees a
//                                             dialog whose thread is busy
//
// Records:
//   window  <hwnd> <class> <pid> <visible|hidden>
//   caption <hex of the ANSI bytes> <text> <hex of the Unicode text>
//   control <id> <class> <visible|hidden> <enabled|disabled> <hex> <text> <hex of Unicode>
//   default <id>             the dialog's default button (DM_GETDEFID), -1 when none
//   end                      end of one window's dump
//   answer  <hwnd> <how> <id>
//   desktop <width> <height> <display devices>
//   locale  <ANSI code page> <UI language id, hex>
//   exit    <code>           the watched program's exit code
//   state   <ms>             trace: the controls below changed, <ms> after the trace began
//   gone    <ms>             trace: the window no longer exists
//   timeout                  the watched program did not end in time and was terminated
// Text fields escape backslash, tab, CR and LF as \\ \t \r \n; the hex field holds the bytes
// exactly as the window's ANSI text (code page 932 under a Japanese locale); the last field
// the window's text read as Unicode (UTF-16LE units), what the user reads whatever the ANSI
// code page is.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const DWORD kPollMs = 50;

struct Options {
    DWORD timeout_ms;
    const char *window_class;
    HWND window;
    const char *answer;
    int first_free;  // index of the first positional argument
};

void print_text_fields(const char *text, int length) {
    printf("\t");
    for (int i = 0; i < length; ++i) printf("%02x", (unsigned char)text[i]);
    printf("\t");
    for (int i = 0; i < length; ++i) {
        char c = text[i];
        if (IsDBCSLeadByte((BYTE)c) && i + 1 < length) {
            // A double-byte character goes out whole: its trail byte may be a backslash.
            putchar(c);
            putchar(text[++i]);
        } else if (c == '\\') printf("\\\\");
        else if (c == '\t') printf("\\t");
        else if (c == '\r') printf("\\r");
        else if (c == '\n') printf("\\n");
        else putchar(c);
    }
}

// The window's text through WM_GETTEXT with a timeout, so that a hung window cannot hang the
// tool.
int window_text(HWND hwnd, char *buffer, int size) {
    buffer[0] = 0;
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, (WPARAM)size, (LPARAM)buffer, SMTO_ABORTIFHUNG,
                             2000, &copied))
        return 0;
    buffer[size - 1] = 0;
    return (int)strlen(buffer);
}

// The window's text read as Unicode (what GetWindowTextW reads from a window of this
// process), printed as the hex of its UTF-16LE units.
void print_unicode_field(HWND hwnd) {
    WCHAR text[4096];
    text[0] = 0;
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, (WPARAM)(sizeof text / sizeof text[0]),
                             (LPARAM)text, SMTO_ABORTIFHUNG, 2000, &copied))
        text[0] = 0;
    text[sizeof text / sizeof text[0] - 1] = 0;
    printf("\t");
    for (int i = 0; text[i]; ++i) printf("%02x%02x", text[i] & 0xFF, (text[i] >> 8) & 0xFF);
}

BOOL CALLBACK dump_child(HWND child, LPARAM parent) {
    if (GetParent(child) != (HWND)parent) return TRUE;  // direct children only
    char cls[64];
    char text[4096];
    if (!GetClassNameA(child, cls, sizeof cls)) cls[0] = 0;
    int length = window_text(child, text, sizeof text);
    printf("control\t%d\t%s\t%s\t%s", GetDlgCtrlID(child), cls,
           IsWindowVisible(child) ? "visible" : "hidden",
           IsWindowEnabled(child) ? "enabled" : "disabled");
    print_text_fields(text, length);
    print_unicode_field(child);
    printf("\n");
    return TRUE;
}

int default_button(HWND dialog) {
    DWORD_PTR result = 0;
    if (SendMessageTimeoutA(dialog, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) &&
        HIWORD(result) == DC_HASDEFID)
        return LOWORD(result);
    return -1;
}

void dump_window(HWND hwnd) {
    char cls[64];
    char text[4096];
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (!GetClassNameA(hwnd, cls, sizeof cls)) cls[0] = 0;
    printf("window\t%lx\t%s\t%lu\t%s\n", (unsigned long)(ULONG_PTR)hwnd, cls, (unsigned long)pid,
           IsWindowVisible(hwnd) ? "visible" : "hidden");
    int length = window_text(hwnd, text, sizeof text);
    printf("caption");
    print_text_fields(text, length);
    print_unicode_field(hwnd);
    printf("\n");
    EnumChildWindows(hwnd, dump_child, (LPARAM)hwnd);
    printf("default\t%d\n", default_button(hwnd));
    printf("end\n");
    fflush(stdout);
}

struct Search {
    const char *window_class;
    HWND skip[64];
    int skip_count;
    HWND found[64];
    int found_count;
};

bool skipped(const Search *s, HWND hwnd) {
    for (int i = 0; i < s->skip_count; ++i)
        if (s->skip[i] == hwnd) return true;
    return false;
}

BOOL CALLBACK collect_window(HWND hwnd, LPARAM param) {
    Search *s = (Search *)param;
    char cls[64];
    if (!IsWindowVisible(hwnd) || !GetClassNameA(hwnd, cls, sizeof cls)) return TRUE;
    if (lstrcmpiA(cls, s->window_class) != 0 || skipped(s, hwnd)) return TRUE;
    if (s->found_count < 64) s->found[s->found_count++] = hwnd;
    return TRUE;
}

void find_windows(Search *s) {
    s->found_count = 0;
    EnumWindows(collect_window, (LPARAM)s);
}

// The Escape key goes to the control that has the focus, as a key press would; the dialog's
// message loop turns it into IDCANCEL.
void press_escape(HWND dialog) {
    HWND target = dialog;
    GUITHREADINFO info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(dialog, NULL);
    if (GetGUIThreadInfo(thread, &info) && info.hwndFocus &&
        (info.hwndFocus == dialog || IsChild(dialog, info.hwndFocus)))
        target = info.hwndFocus;
    PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

// Posted, not sent: a sent BM_CLICK that ends a message box gets its reply only after the
// box's process has moved on (under Wine the sender waited out its whole timeout).
bool click_button(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (!button) return false;
    return PostMessageA(button, BM_CLICK, 0, 0) != 0;
}

bool send_command(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)button) != 0;
}

void answer_window(HWND hwnd, const char *answer) {
    if (strcmp(answer, "none") == 0) return;
    if (strcmp(answer, "escape") == 0) {
        press_escape(hwnd);
        printf("answer\t%lx\tescape\t-1\n", (unsigned long)(ULONG_PTR)hwnd);
    } else if (strcmp(answer, "close") == 0) {
        PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        printf("answer\t%lx\tclose\t-1\n", (unsigned long)(ULONG_PTR)hwnd);
    } else {
        int id = strcmp(answer, "default") == 0 ? default_button(hwnd) : atoi(answer);
        if (id < 0) id = IDOK;
        // BM_CLICK is what a mouse click does; if the button is not there, the command
        // still tells the dialog which answer was chosen.
        const char *how = click_button(hwnd, id) ? "click" : "command";
        if (strcmp(how, "command") == 0) send_command(hwnd, id);
        printf("answer\t%lx\t%s\t%d\n", (unsigned long)(ULONG_PTR)hwnd, how, id);
    }
    fflush(stdout);
}

// The rest of the tool's own command line after " -- ", exactly as it came.
const char *command_after_separator() {
    const char *line = GetCommandLineA();
    const char *p = strstr(line, " -- ");
    return p ? p + 4 : NULL;
}

int watch(const Options &o) {
    const char *command = command_after_separator();
    if (!command || !*command) {
        fprintf(stderr, "wintool watch: no command after --\n");
        return 2;
    }
    char *line = (char *)malloc(strlen(command) + 1);
    strcpy(line, command);

    // The program runs in its own folder, as it does when started from its install folder.
    char folder[MAX_PATH] = "";
    const char *start = line[0] == '"' ? line + 1 : line;
    const char *stop = line[0] == '"' ? strchr(start, '"') : strchr(start, ' ');
    size_t length = stop ? (size_t)(stop - start) : strlen(start);
    if (length < sizeof folder) {
        memcpy(folder, start, length);
        folder[length] = 0;
        char *slash = strrchr(folder, '\\');
        if (slash) *slash = 0; else folder[0] = 0;
    }

    STARTUPINFOA si;
    PROCESS_INFORMATION pi;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    if (!CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, folder[0] ? folder : NULL, &si,
                        &pi)) {
        fprintf(stderr, "wintool watch: CreateProcess failed (%lu): %s\n",
                (unsigned long)GetLastError(), line);
        free(line);
        return 2;
    }
    free(line);

    Search s;
    memset(&s, 0, sizeof s);
    s.window_class = o.window_class;
    DWORD started = GetTickCount();
    HWND answered[64];
    DWORD answered_at[64];
    int answered_count = 0;
    for (;;) {
        bool ended = WaitForSingleObject(pi.hProcess, kPollMs) == WAIT_OBJECT_0;
        find_windows(&s);
        for (int i = 0; i < s.found_count; ++i) {
            HWND hwnd = s.found[i];
            int seen = -1;
            for (int j = 0; j < answered_count; ++j)
                if (answered[j] == hwnd) seen = j;
            if (seen < 0) {
                dump_window(hwnd);
                answer_window(hwnd, o.answer);
                if (answered_count < 64) {
                    answered[answered_count] = hwnd;
                    answered_at[answered_count++] = GetTickCount();
                }
            } else if (strcmp(o.answer, "none") != 0 &&
                       GetTickCount() - answered_at[seen] > 2000) {
                // Still there: the answer did not reach it; say so and answer again.
                printf("retry\t%lx\n", (unsigned long)(ULONG_PTR)hwnd);
                answer_window(hwnd, o.answer);
                answered_at[seen] = GetTickCount();
            }
        }
        if (ended) break;
        if (GetTickCount() - started > o.timeout_ms) {
            printf("timeout\n");
            fflush(stdout);
            TerminateProcess(pi.hProcess, 124);
            WaitForSingleObject(pi.hProcess, 5000);
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
            return 3;
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    printf("exit\t%lu\n", (unsigned long)code);
    fflush(stdout);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 0;
}

int wait_for_window(const Options &o) {
    Search s;
    memset(&s, 0, sizeof s);
    s.window_class = o.window_class;
    DWORD started = GetTickCount();
    for (;;) {
        find_windows(&s);
        if (s.found_count > 0) {
            // Give the dialog a moment to finish setting its texts after it became visible.
            Sleep(kPollMs);
            dump_window(s.found[0]);
            return 0;
        }
        if (GetTickCount() - started > o.timeout_ms) {
            printf("timeout\n");
            return 3;
        }
        Sleep(kPollMs);
    }
}

int dump_windows(const Options &o) {
    if (o.window) {
        if (!IsWindow(o.window)) {
            fprintf(stderr, "wintool: no window %lx\n", (unsigned long)(ULONG_PTR)o.window);
            return 1;
        }
        dump_window(o.window);
        return 0;
    }
    Search s;
    memset(&s, 0, sizeof s);
    s.window_class = o.window_class;
    find_windows(&s);
    for (int i = 0; i < s.found_count; ++i) dump_window(s.found[i]);
    return 0;
}

// One line per direct child: id, visibility and the text the window manager holds for it
// (GetWindowTextA on another process's window asks no message of its thread).
struct TraceState {
    char text[8192];
    int length;
};

BOOL CALLBACK trace_child(HWND child, LPARAM param) {
    TraceState *state = (TraceState *)param;
    if (state->length > (int)sizeof state->text - 600) return FALSE;
    char text[256];
    char cls[64];
    int length = GetWindowTextA(child, text, sizeof text);
    if (length < 0) length = 0;
    if (!GetClassNameA(child, cls, sizeof cls)) cls[0] = 0;
    char *out = state->text + state->length;
    int used = sprintf(out, "control\t%d\t%s\t%s\t%s\t", GetDlgCtrlID(child), cls,
                       IsWindowVisible(child) ? "visible" : "hidden",
                       IsWindowEnabled(child) ? "enabled" : "disabled");
    for (int i = 0; i < length; ++i) used += sprintf(out + used, "%02x", (unsigned char)text[i]);
    used += sprintf(out + used, "\t\n");
    state->length += used;
    return TRUE;
}

int trace_window(const Options &o) {
    printf("tracing\t%lx\n", (unsigned long)(ULONG_PTR)o.window);
    fflush(stdout);
    static TraceState last, now;
    last.length = -1;
    DWORD started = GetTickCount();
    while (GetTickCount() - started < o.timeout_ms) {
        if (!IsWindow(o.window)) {
            printf("gone\t%lu\n", (unsigned long)(GetTickCount() - started));
            fflush(stdout);
            return 0;
        }
        now.length = 0;
        now.text[0] = 0;
        EnumChildWindows(o.window, trace_child, (LPARAM)&now);
        if (now.length != last.length || memcmp(now.text, last.text, now.length) != 0) {
            printf("state\t%lu\n%send\n", (unsigned long)(GetTickCount() - started), now.text);
            fflush(stdout);
            memcpy(&last, &now, sizeof now);
        }
        Sleep(0);
    }
    printf("timeout\n");
    return 3;
}

int hold_files(int argc, char **argv, int first) {
    HANDLE handles[256];
    int count = 0;
    for (int i = first; i < argc && count < 256; ++i) {
        HANDLE h = CreateFileA(argv[i], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        if (h == INVALID_HANDLE_VALUE) {
            fprintf(stderr, "wintool hold: cannot open %s (%lu)\n", argv[i],
                    (unsigned long)GetLastError());
            return 1;
        }
        handles[count++] = h;
    }
    printf("held\t%d\n", count);
    fflush(stdout);
    char buffer[64];
    DWORD read = 0;
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    while (ReadFile(input, buffer, sizeof buffer, &read, NULL) && read > 0) {
    }
    for (int i = 0; i < count; ++i) CloseHandle(handles[i]);
    return 0;
}

// The first program that touches the desktop has Wine start it and enumerate the display
// devices (rewriting their registry keys); asking for the desktop and the display devices
// returns only when that is done, so a snapshot taken afterwards sees a settled registry.
int show_desktop() {
    HWND desktop = GetDesktopWindow();
    int devices = 0;
    DISPLAY_DEVICEA device;
    memset(&device, 0, sizeof device);
    device.cb = sizeof device;
    while (EnumDisplayDevicesA(NULL, (DWORD)devices, &device, 0)) ++devices;
    printf("desktop\t%d\t%d\t%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
           devices);
    return desktop ? 0 : 1;
}

int show_locale() {
    printf("locale\t%u\t%04x\n", GetACP(), (unsigned)GetUserDefaultUILanguage());
    return 0;
}

bool parse_options(int argc, char **argv, Options *o) {
    o->timeout_ms = 10000;
    o->window_class = "#32770";
    o->window = NULL;
    o->answer = "default";
    int i = 2;
    for (; i < argc; ++i) {
        const char *a = argv[i];
        if (strcmp(a, "--") == 0) break;
        if (a[0] != '-' || i + 1 >= argc) break;
        const char *value = argv[++i];
        if (strcmp(a, "-t") == 0) o->timeout_ms = (DWORD)strtoul(value, NULL, 10);
        else if (strcmp(a, "-c") == 0) o->window_class = value;
        else if (strcmp(a, "-w") == 0) o->window = (HWND)(ULONG_PTR)strtoul(value, NULL, 16);
        else if (strcmp(a, "-a") == 0) o->answer = value;
        else return false;
    }
    o->first_free = i;
    return true;
}

int usage() {
    fprintf(stderr,
            "usage: wintool wait|dump|click|command|escape|close|watch|desktop|locale|hold|trace "
            "[options] ...\n"
            "  (see the comment at the top of e2e/tools/wintool.cpp)\n");
    return 2;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2) return usage();
    const char *command = argv[1];
    if (strcmp(command, "hold") == 0) return hold_files(argc, argv, 2);
    if (strcmp(command, "desktop") == 0) return show_desktop();
    if (strcmp(command, "locale") == 0) return show_locale();
    Options o;
    if (!parse_options(argc, argv, &o)) return usage();
    if (strcmp(command, "wait") == 0) return wait_for_window(o);
    if (strcmp(command, "dump") == 0) return dump_windows(o);
    if (strcmp(command, "watch") == 0) return watch(o);
    if (strcmp(command, "trace") == 0) {
        if (!o.window) return usage();
        return trace_window(o);
    }

    if (!o.window || !IsWindow(o.window)) {
        fprintf(stderr, "wintool %s: -w names no window\n", command);
        return 1;
    }
    if (strcmp(command, "escape") == 0) {
        press_escape(o.window);
        return 0;
    }
    if (strcmp(command, "close") == 0) return PostMessageA(o.window, WM_SYSCOMMAND, SC_CLOSE, 0) ? 0 : 1;
    if (o.first_free >= argc) return usage();
    int id = atoi(argv[o.first_free]);
    if (strcmp(command, "click") == 0) return click_button(o.window, id) ? 0 : 1;
    if (strcmp(command, "command") == 0) return send_command(o.window, id) ? 0 : 1;
    return usage();
}
