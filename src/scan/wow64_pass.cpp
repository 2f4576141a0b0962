#include "scan/scan.h"

void ScanWow64Catalogue(const Scan&)
{
    // The 64-bit gateway pass is not built yet: it appends nothing.
}
