// CloseHandle serves every kind of kernel handle; each area of the simulation registers the
// closer for the handles it hands out.
#ifndef K440_SIM_HANDLE_TABLE_H
#define K440_SIM_HANDLE_TABLE_H

#include "win_types.h"

namespace sim {

typedef bool (*HandleCloser)(HANDLE handle);  // true when the handle was one of its own
void add_handle_closer(HandleCloser closer);
bool close_any_handle(HANDLE handle);

}  // namespace sim

#endif
