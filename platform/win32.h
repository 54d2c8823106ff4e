// The one place where the product meets the platform: the real Windows headers in the Windows
// build, the simulated machine's declarations in the host build.
#ifndef K440_PLATFORM_WIN32_H
#define K440_PLATFORM_WIN32_H

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// Lean windows.h leaves the service manager's declarations out.
#include <winsvc.h>
// The SetupAPI functions are declared as the program's own, not imported: the program defines
// them as forwarders to setupapi.dll, found at run time (setupapi_table.h).
#ifndef _SETUPAPI_
#define _SETUPAPI_
#endif
#include <setupapi.h>
#include <mbstring.h>
#else
#include "sim/windows_sim.h"
#endif

#include "setupapi_table.h"
#include "service_table.h"

#endif
