#include "scan/scan.h"

void ScanInstallerCatalogue(const Scan&)
{
    // The installer-catalogue pass is not built yet: it appends nothing.
}
