// Device information sets, the class installer, device interfaces and class keys of the
// simulated platform (setupapi). Records have the sizes of the 32-bit platform where the
// product sets a size field, through sizeof.
#ifndef K440_SIM_SETUPAPI_API_H
#define K440_SIM_SETUPAPI_API_H

#include "win_types.h"

typedef PVOID HDEVINFO;

typedef struct _SP_DEVINFO_DATA {
    DWORD cbSize;
    GUID ClassGuid;
    DWORD DevInst;
    ULONG_PTR Reserved;
} SP_DEVINFO_DATA, *PSP_DEVINFO_DATA;

typedef UINT DI_FUNCTION;

typedef struct _SP_CLASSINSTALL_HEADER {
    DWORD cbSize;
    DI_FUNCTION InstallFunction;
} SP_CLASSINSTALL_HEADER, *PSP_CLASSINSTALL_HEADER;

typedef struct _SP_PROPCHANGE_PARAMS {
    SP_CLASSINSTALL_HEADER ClassInstallHeader;
    DWORD StateChange;
    DWORD Scope;
    DWORD HwProfile;
} SP_PROPCHANGE_PARAMS, *PSP_PROPCHANGE_PARAMS;

typedef PVOID HSPFILEQ;

typedef struct _SP_DEVINSTALL_PARAMS_A {
    DWORD cbSize;
    DWORD Flags;
    DWORD FlagsEx;
    HWND hwndParent;
    PVOID InstallMsgHandler;
    PVOID InstallMsgHandlerContext;
    HSPFILEQ FileQueue;
    ULONG_PTR ClassInstallReserved;
    DWORD Reserved;
    CHAR DriverPath[MAX_PATH];
} SP_DEVINSTALL_PARAMS_A, *PSP_DEVINSTALL_PARAMS_A;

#define DIGCF_DEFAULT 0x00000001
#define DIGCF_PRESENT 0x00000002
#define DIGCF_ALLCLASSES 0x00000004
#define DIGCF_PROFILE 0x00000008
#define DIGCF_DEVICEINTERFACE 0x00000010

#define SPDRP_DEVICEDESC 0x00000000
#define SPDRP_HARDWAREID 0x00000001
#define SPDRP_COMPATIBLEIDS 0x00000002
#define SPDRP_CLASS 0x00000007
#define SPDRP_CLASSGUID 0x00000008
#define SPDRP_DRIVER 0x00000009
#define SPDRP_UPPERFILTERS 0x00000011
#define SPDRP_LOWERFILTERS 0x00000012

#define DIF_REMOVE 0x00000005
#define DIF_PROPERTYCHANGE 0x00000012

#define DICS_ENABLE 0x00000001
#define DICS_DISABLE 0x00000002
#define DICS_FLAG_GLOBAL 0x00000001
#define DICS_FLAG_CONFIGSPECIFIC 0x00000002

#define DI_NEEDRESTART 0x00000080L
#define DI_NEEDREBOOT 0x00000100L

#define DIOCR_INSTALLER 0x00000001
#define DIOCR_INTERFACE 0x00000002

#define DI_CLASSINSTALLPARAMS 0x00100000L

#define DICS_PROPCHANGE 0x00000003
#define DICS_START 0x00000004
#define DICS_STOP 0x00000005

#ifndef ERROR_INVALID_DATA
#define ERROR_INVALID_DATA 13L
#endif
#ifndef ERROR_INVALID_USER_BUFFER
#define ERROR_INVALID_USER_BUFFER 1784L
#endif
#define ERROR_INVALID_CLASS ((DWORD)0xE0000206)
#define ERROR_NO_SUCH_DEVINST ((DWORD)0xE000020B)
#define ERROR_DI_DO_DEFAULT ((DWORD)0xE000020E)
#define ERROR_IN_WOW64 ((DWORD)0xE0000235)
#define ERROR_NO_CLASSINSTALL_PARAMS ((DWORD)0xE0000215)
#define ERROR_INVALID_MACHINENAME ((DWORD)0xE0000220)
#define ERROR_NOT_DISABLEABLE ((DWORD)0xE0000231)

#define MAX_DEVICE_ID_LEN 200

HDEVINFO SetupDiGetClassDevsA(const GUID *class_guid, PCSTR enumerator, HWND parent, DWORD flags);
BOOL SetupDiDestroyDeviceInfoList(HDEVINFO set);
HDEVINFO SetupDiCreateDeviceInfoList(const GUID *class_guid, HWND parent);
BOOL SetupDiOpenDeviceInfoA(HDEVINFO set, PCSTR instance_id, HWND parent, DWORD flags,
                            PSP_DEVINFO_DATA device);
BOOL SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, PSP_DEVINFO_DATA device);
BOOL SetupDiGetDeviceRegistryPropertyA(HDEVINFO set, PSP_DEVINFO_DATA device, DWORD property,
                                       PDWORD type, PBYTE buffer, DWORD size, PDWORD required);
BOOL SetupDiSetDeviceRegistryPropertyA(HDEVINFO set, PSP_DEVINFO_DATA device, DWORD property,
                                       const BYTE *buffer, DWORD size);
HKEY SetupDiOpenClassRegKeyExA(const GUID *class_guid, REGSAM desired, DWORD flags,
                               PCSTR machine_name, PVOID reserved);
BOOL SetupDiGetDeviceInstanceIdA(HDEVINFO set, PSP_DEVINFO_DATA device, PSTR buffer, DWORD size,
                                 PDWORD required);
BOOL SetupDiSetClassInstallParamsA(HDEVINFO set, PSP_DEVINFO_DATA device,
                                   PSP_CLASSINSTALL_HEADER params, DWORD size);
BOOL SetupDiCallClassInstaller(DI_FUNCTION function, HDEVINFO set, PSP_DEVINFO_DATA device);
BOOL SetupDiGetDeviceInstallParamsA(HDEVINFO set, PSP_DEVINFO_DATA device,
                                    PSP_DEVINSTALL_PARAMS_A params);

#endif
