// The system folders, below the Windows folder, where each family keeps the driver set's
// driver files, in the order they are searched: the first that holds a file wins.
#ifndef K440_INVENTORY_DRIVER_FILE_FOLDERS_H
#define K440_INVENTORY_DRIVER_FILE_FOLDERS_H

#include "base/os_class.h"

inline const char *const *driver_file_folders(int os_class) {
    static const char *const nt[] = {"System32\\Drivers", "System32", 0};
    static const char *const legacy[] = {"System", "System32", "System32\\Drivers",
                                         "System\\Iosubsys", "System\\Vmm32", 0};
    return os_class >= OS_FIRST_NT ? nt : legacy;
}

#endif
