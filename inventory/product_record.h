// The product registry record that the installer left under "Software\TAVO": install folder,
// extra switches, the files it placed and the product's device ids.
#ifndef K440_INVENTORY_PRODUCT_RECORD_H
#define K440_INVENTORY_PRODUCT_RECORD_H

#include "base/run_record.h"

#define PRODUCT_RECORD_ROOT "Software\\TAVO"

// Reads the record into the run record; 1 when the record key opened, else 0.
int read_product_record(run_record *record);

#endif
