// The simulated setupapi.dll: the functions GetProcAddress hands out for it
// (module_api.cpp). A program reaches them only through its own forwarders of the same names
// (platform/setupapi_table.cpp), as the Windows build reaches the real DLL; each has exactly
// the type the program declares (setupapi_api.h, inf_api.h, restart_api.h).
#ifndef K440_SIM_SETUPAPI_EXPORTS_H
#define K440_SIM_SETUPAPI_EXPORTS_H

#include "inf_api.h"
#include "restart_api.h"
#include "setupapi_api.h"

namespace setupapi_dll {

decltype(::SetupCloseInfFile) SetupCloseInfFile;
decltype(::SetupDiCallClassInstaller) SetupDiCallClassInstaller;
decltype(::SetupDiCreateDeviceInfoList) SetupDiCreateDeviceInfoList;
decltype(::SetupDiDestroyDeviceInfoList) SetupDiDestroyDeviceInfoList;
decltype(::SetupDiEnumDeviceInfo) SetupDiEnumDeviceInfo;
decltype(::SetupDiGetClassDevsA) SetupDiGetClassDevsA;
decltype(::SetupDiGetDeviceInstallParamsA) SetupDiGetDeviceInstallParamsA;
decltype(::SetupDiGetDeviceInstanceIdA) SetupDiGetDeviceInstanceIdA;
decltype(::SetupDiGetDeviceRegistryPropertyA) SetupDiGetDeviceRegistryPropertyA;
decltype(::SetupDiOpenClassRegKeyExA) SetupDiOpenClassRegKeyExA;
decltype(::SetupDiOpenDeviceInfoA) SetupDiOpenDeviceInfoA;
decltype(::SetupDiSetClassInstallParamsA) SetupDiSetClassInstallParamsA;
decltype(::SetupDiSetDeviceRegistryPropertyA) SetupDiSetDeviceRegistryPropertyA;
decltype(::SetupFindFirstLineA) SetupFindFirstLineA;
decltype(::SetupFindNextLine) SetupFindNextLine;
decltype(::SetupGetStringFieldA) SetupGetStringFieldA;
decltype(::SetupOpenInfFileA) SetupOpenInfFileA;
decltype(::SetupPromptReboot) SetupPromptReboot;

}  // namespace setupapi_dll

#endif
