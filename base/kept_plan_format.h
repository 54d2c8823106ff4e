// The removal plan a run keeps in its uninstall record (or, without one, its product record)
// from before its first change until the records themselves go last: a REG_MULTI_SZ value,
// one entry a string, each led by its kind: file path, key path, key path followed by value
// name. Written by the removal, read back by the inventory of a later run.
#ifndef K440_BASE_KEPT_PLAN_FORMAT_H
#define K440_BASE_KEPT_PLAN_FORMAT_H

#define REMOVAL_PLAN_VALUE "RemovalPlan"
// The largest plan written on Windows 98/ME, which keep at most 16,300 bytes in one value.
// The NT family keeps larger values, and a plan of any size is written there.
#define REMOVAL_PLAN_SIZE 16000
// The largest plan read back: a bound on what a value can make the program allocate.
#define REMOVAL_PLAN_READ_LIMIT (16UL << 20)

#define PLAN_FILE 'F'
#define PLAN_KEY 'K'
#define PLAN_VALUE_KEY 'V'
#define PLAN_VALUE_NAME 'N'

#endif
