#include <utility>

#include "scan/installer_catalogue.h"
#include "scan/scan.h"

void ScanInstallerCatalogue(const Scan& scan)
{
    const Query& query = scan.query;
    for (const InstallerProduct& row : kInstallerCatalogue) {
        std::uint32_t access = 0;
        if (!ChooseRowAccess(scan, row.displayName, access)
            || !IsProductInstalled(query, row.productCode))
            continue;

        // The title is the display name alone: no product key is read.
        InventoryEntry entry{row.displayName, {}};
        AppendPatchLines(query, entry, row.productCode);
        // Display names carry a release, so no hot-fix base name matches them
        // as the table stands; a row that one day does gets its hot fixes.
        char qfeKey[kQfeKeyPathSize];
        if (ResolveQfeKey(query, row.displayName, "", qfeKey))
            AppendHotFixLines(query, entry, qfeKey, access);
        scan.inventory.push_back(std::move(entry));
    }
}
