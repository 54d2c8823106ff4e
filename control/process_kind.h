// Which program runs on which Windows. The 32-bit program serves 32-bit Windows; on 64-bit
// Windows it runs under WOW64, where its System32 is SysWOW64, its HKLM\Software is the
// 32-bit view and device removal is refused, so there its 64-bit companion does the run.
#ifndef K440_CONTROL_PROCESS_KIND_H
#define K440_CONTROL_PROCESS_KIND_H

enum process_kind {
    PROCESS_32BIT_WINDOWS = 0,  // the 32-bit program on 32-bit Windows
    PROCESS_UNDER_WOW64 = 1,    // the 32-bit program on 64-bit Windows
    PROCESS_64BIT_WINDOWS = 2,  // the 64-bit program on x64 Windows
    PROCESS_64BIT_ELSEWHERE = 3 // the 64-bit program on a machine that is not x64
};

// Asks the platform. IsWow64Process and GetNativeSystemInfo are looked up at run time:
// Windows 98/ME, 2000 and XP before SP2 lack IsWow64Process, which means no WOW64 there.
int classify_process(void);

#endif
