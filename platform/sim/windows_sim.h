// Everything the simulated platform declares: what <windows.h> and <setupapi.h> give the
// product in the Windows build.
#ifndef K440_SIM_WINDOWS_SIM_H
#define K440_SIM_WINDOWS_SIM_H

#include "files_api.h"
#include "files_wide_api.h"
#include "inf_api.h"
#include "mbcs_api.h"
#include "module_api.h"
#include "nls_api.h"
#include "process_api.h"
#include "registry_api.h"
#include "registry_wide_api.h"
#include "restart_api.h"
#include "security_api.h"
#include "service_api.h"
#include "setupapi_api.h"
#include "system_api.h"
#include "ui_api.h"
#include "win_types.h"

#endif
