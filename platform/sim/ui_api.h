// Message boxes and dialogs of the simulated platform (user32), and the stock font (gdi32).
#ifndef K440_SIM_UI_API_H
#define K440_SIM_UI_API_H

#include "win_types.h"

#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_YESNO 0x00000004L
#define MB_ICONHAND 0x00000010L
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONASTERISK 0x00000040L
#define MB_ICONINFORMATION MB_ICONASTERISK

#define IDOK 1
#define IDCANCEL 2
#define IDYES 6
#define IDNO 7

#define WM_SETFONT 0x0030
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_CLOSE 0x0010
#define SW_HIDE 0
#define SW_SHOW 5

#define EWX_LOGOFF 0
#define EWX_SHUTDOWN 1
#define EWX_REBOOT 2
#define EWX_FORCE 4

#define DEFAULT_GUI_FONT 17

typedef INT_PTR(CALLBACK *DLGPROC)(HWND, UINT, WPARAM, LPARAM);
typedef void *HGDIOBJ;

// Window stations (NT family; found at run time): whether the process's desktop is one a user
// sees, as the interactive session's is and a service session's is not.
typedef HANDLE HWINSTA;
#define UOI_FLAGS 1
#define WSF_VISIBLE 0x0001L
typedef struct tagUSEROBJECTFLAGS {
    BOOL fInherit;
    BOOL fReserved;
    DWORD dwFlags;
} USEROBJECTFLAGS, *PUSEROBJECTFLAGS;
HWINSTA WINAPI GetProcessWindowStation(void);
BOOL WINAPI GetUserObjectInformationA(HANDLE object, int index, PVOID info, DWORD length,
                                      LPDWORD needed);

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR template_name, HWND owner, DLGPROC procedure,
                        LPARAM init_param);
BOOL EndDialog(HWND dialog, INT_PTR result);
BOOL SetWindowTextA(HWND window, LPCSTR text);
BOOL SetDlgItemTextA(HWND dialog, int item, LPCSTR text);
HWND GetDlgItem(HWND dialog, int item);
BOOL ShowWindow(HWND window, int command);
BOOL UpdateWindow(HWND window);
BOOL ExitWindowsEx(UINT flags, DWORD reason);

// The program finds these through GetProcAddress. Windows 98/ME export them too: MessageBoxW
// works there, the others are stubs that fail with ERROR_CALL_NOT_IMPLEMENTED.
int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style);
INT_PTR WINAPI DialogBoxParamW(HINSTANCE instance, LPCWSTR template_name, HWND owner,
                               DLGPROC procedure, LPARAM init_param);
BOOL WINAPI SetWindowTextW(HWND window, LPCWSTR text);
BOOL WINAPI SetDlgItemTextW(HWND dialog, int item, LPCWSTR text);

// A stock object's handle; only DEFAULT_GUI_FONT is known here.
HGDIOBJ GetStockObject(int object);
// WM_SETFONT sets a control's font; other messages are not modelled and answer 0.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT SendDlgItemMessageA(HWND dialog, int item, UINT message, WPARAM wparam, LPARAM lparam);

#endif
