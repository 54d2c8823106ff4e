// Device information sets, class installer, device interfaces, class keys, INF files and the
// restart prompt of the simulated platform (setupapi).
#ifndef K440_SIM_SETUPAPI_API_H
#define K440_SIM_SETUPAPI_API_H

#include "win_types.h"

#endif
