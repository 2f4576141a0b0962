#include "scan/scan.h"

#include "scan/text.h"

bool ChooseRowAccess(const Scan& scan, const char* name, std::uint32_t& access)
{
    const bool sixtyFourBit = Contains(name, "64 bit");
    access = sixtyFourBit ? kKeyQueryValue | kKeyWow64_64Key : kKeyQueryValue;
    return scan.wow64 || !sixtyFourBit;
}

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
