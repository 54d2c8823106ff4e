// The first line a run writes to its log: when, which program, with which switches, on which
// Windows.
#ifndef K440_CONTROL_RUN_LOG_HEADER_H
#define K440_CONTROL_RUN_LOG_HEADER_H

#include "base/run_record.h"

// "2026-12-08 23:05:09 C:\...\K440dTUn.exe; command line: -quiet; record switches:
// -skip_inf_validation; OS class 8 (Windows XP)" as one line. The record switches are the
// product record's "UninstallerCmdLineSwitch" as it stands; "(none)" when there is none.
void log_run_header(const run_record *record, const char *argument_text);

#endif
