// SIDs, access lists, security descriptors, key security and the process token of the
// simulated platform (advapi32).
#ifndef K440_SIM_SECURITY_API_H
#define K440_SIM_SECURITY_API_H

#include "win_types.h"

#endif
