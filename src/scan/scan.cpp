#include "scan/scan.h"

void ScanInventory(const Query& query, Inventory& inventory)
{
    ClearInventory(inventory);
    const Scan scan{query, query.IsWow64Process(), inventory};
    ScanRelease93Catalogue(scan);
    ScanWow64Catalogue(scan);
    ScanInstallerCatalogue(scan);
    ScanRelease94Keys(scan);
    ScanBelsarKeys(scan);
}
