// Operating-system classification: the running Windows as one small number.
#ifndef K440_BASE_OS_CLASS_H
#define K440_BASE_OS_CLASS_H

enum os_class_value {
    OS_UNKNOWN = 0,
    OS_WIN95 = 1,
    OS_WIN95_OSR2 = 2,
    OS_WIN98 = 3,
    OS_WIN98_SE = 4,
    OS_WINME = 5,
    OS_NT4 = 6,
    OS_WIN2000 = 7,
    OS_WINXP = 8,
    OS_WIN2003 = 9,
    OS_LATER_NT = 10
};

// Classes 7 and above are the NT family, the others the Windows 98/ME family.
#define OS_FIRST_NT OS_WIN2000

int classify_os(void);

#endif
