// A program that only starts and exits, built as the uninstaller is: a GUI program that loads
// the same system libraries (their start-up is part of starting such a program) and does
// nothing else. e2e/bench_startup.py sets the uninstaller's quiet run against it.
#include <windows.h>
#include <setupapi.h>

// Referenced, never called: the loader maps and starts the libraries as for the product.
static const void *volatile imports[] = {(const void *)&MessageBoxA, (const void *)&RegCloseKey,
                                         (const void *)&SetupDiDestroyDeviceInfoList,
                                         (const void *)&GetStockObject};

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return imports[0] ? 0 : 1; }
