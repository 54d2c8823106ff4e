// The one place where the product meets the platform: the real Windows headers in the Windows
// build, the simulated machine's declarations in the host build.
#ifndef K440_PLATFORM_WIN32_H
#define K440_PLATFORM_WIN32_H

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <setupapi.h>
#include <mbstring.h>
#else
#include "sim/windows_sim.h"
#endif

#endif
