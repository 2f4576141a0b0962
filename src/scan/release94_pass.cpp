#include "scan/scan.h"

void ScanRelease94Keys(const Scan&)
{
    // The release-9.4 registry pass is not built yet: it appends nothing.
}

void ScanBelsarKeys(const Scan&)
{
    // The 9.4 gateway-key pass is not built yet: it appends nothing.
}

void AppendUpdateLines(const Query&, InventoryEntry&, const ScopedKey&)
{
}
