// INF files of the simulated platform, read through SetupAPI's INF parser.
#ifndef K440_SIM_INF_API_H
#define K440_SIM_INF_API_H

#include "inf_parser.h"
#include "win_types.h"

typedef PVOID HINF;

typedef struct _INFCONTEXT {
    PVOID Inf;
    PVOID CurrentInf;
    UINT Section;
    UINT Line;
} INFCONTEXT, *PINFCONTEXT;

#define INF_STYLE_NONE 0x00000000
#define INF_STYLE_OLDNT 0x00000001
#define INF_STYLE_WIN4 0x00000002

#define ERROR_WRONG_INF_STYLE ((DWORD)0xE0000100)
#define ERROR_SECTION_NOT_FOUND ((DWORD)0xE0000101)
#define ERROR_LINE_NOT_FOUND ((DWORD)0xE0000102)
#define ERROR_CLASS_MISMATCH ((DWORD)0xE0000201)

HINF SetupOpenInfFileA(PCSTR file_name, PCSTR inf_class, DWORD inf_style, PUINT error_line);
void SetupCloseInfFile(HINF inf);
BOOL SetupFindFirstLineA(HINF inf, PCSTR section, PCSTR key, PINFCONTEXT context);
BOOL SetupFindNextLine(PINFCONTEXT context_in, PINFCONTEXT context_out);
DWORD SetupGetFieldCount(PINFCONTEXT context);
BOOL SetupGetStringFieldA(PINFCONTEXT context, DWORD field_index, PSTR buffer, DWORD size,
                          PDWORD required);

#endif
