#include <string>
#include <utility>

#include "scan/qfe_products.h"
#include "scan/scan.h"
#include "scan/text.h"
#include "scan/wow64_catalogue.h"

namespace {

constexpr std::size_t kTextSize = 256;
constexpr std::uint32_t kAccess64 = kKeyQueryValue | kKeyWow64_64Key;

constexpr bool HasHotFixKey(const char (&name)[100])
{
    for (const QfeProduct& qfe : kQfeProducts) {
        if (SameText(name, qfe.baseName))
            return true;
    }
    return false;
}

constexpr bool AllHaveHotFixKeys()
{
    for (const Wow64Product& row : kWow64Catalogue) {
        if (!HasHotFixKey(row.name))
            return false;
    }
    return true;
}
static_assert(AllHaveHotFixKeys(), "every 64-bit gateway has a hot-fix key");

// For the two SDKs a "RealVersion" of exactly "9.3" stands for release 9.3.1.
bool RecordsRelease931As93(const Wow64Product& row)
{
    return Equals(row.name, "Kavren Belsar C SDK 64 bit")
           || Equals(row.name, "Kavren Belsar Java SDK 64 bit");
}

}  // namespace

void ScanWow64Catalogue(const Scan& scan)
{
    if (!scan.wow64)
        return;
    const Query& query = scan.query;
    for (const Wow64Product& row : kWow64Catalogue) {
        const ScopedKey productKey = OpenKey(query, kHkeyLocalMachine, row.registryKey, kAccess64);
        char productName[kTextSize];
        if (!productKey || !ReadValue(query, productKey, "ProductName", productName))
            continue;

        // No "RealVersion" leaves the version out of the title.
        char value[kTextSize];
        std::string version;
        if (ReadValue(query, productKey, "RealVersion", value)) {
            if (!Contains(value, "9.3"))
                continue;
            version = RecordsRelease931As93(row) && Equals(value, "9.3") ? "9.3.1" : value;
        }

        // A product name that carries its release ("9.") needs no version.
        std::string title;
        if (ReadValue(query, productKey, "SPDisplayName", value))
            title = value;
        else if (Contains(productName, "9."))
            title = productName;
        else if (ReadValue(query, productKey, "SPNumber", value))
            title = WithVersion(productName, version) + " Service Pack " + value;
        else
            title = WithVersion(productName, version);

        InventoryEntry entry{CutTitle(title), {}};
        char qfeKey[kQfeKeyPathSize];
        if (ResolveQfeKey(query, row.name, productName, qfeKey))
            AppendHotFixLines(query, entry, qfeKey, kAccess64);
        scan.inventory.push_back(std::move(entry));
    }
}
