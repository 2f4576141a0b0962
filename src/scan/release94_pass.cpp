#include <string>
#include <utility>

#include "scan/release94_keys.h"
#include "scan/scan.h"
#include "scan/text.h"

namespace {

constexpr std::size_t kTextSize = 256;

// Reads "RealVersion" as the version text of the 9.4 line: "9.4" for any
// 9.4.x build, a value that names 9.4 otherwise ("9.4 Beta") as stored, and
// none (empty) when the key has no "RealVersion". False for a value of another
// release: the key holds an earlier installation.
bool ReadVersion94(const Query& query, const ScopedKey& productKey, std::string& version)
{
    version.clear();
    char value[kTextSize];
    if (!ReadValue(query, productKey, "RealVersion", value))
        return true;
    if (!Contains(value, "9.4"))
        return false;
    version = Contains(value, "9.4.") ? "9.4" : value;
    return true;
}

// A numbered server installation ("... GIS Services3") is titled by its
// instance: the name without the number, and the "Instance" text if any.
// Only the last character goes: "...Services12" gives "...Services1".
std::string TitleByInstance(const Query& query, const ScopedKey& productKey,
                            const char* productName)
{
    const std::string name = productName;
    const bool numbered = (Contains(productName, "GIS Services")
                           || Contains(productName, "Web Applications"))
                          && name.back() != 's';
    if (!numbered)
        return name;
    const std::string base = name.substr(0, name.size() - 1);
    char instance[kTextSize];
    if (ReadValue(query, productKey, "Instance", instance))
        return base + " Instance: " + instance;
    return base;
}

void AppendEntry(const Query& query, Inventory& inventory, const std::string& title,
                 const ScopedKey& productKey)
{
    InventoryEntry entry{CutTitle(title), {}};
    AppendUpdateLines(query, entry, productKey);
    inventory.push_back(std::move(entry));
}

}  // namespace

void ScanRelease94Keys(const Scan& scan)
{
    const Query& query = scan.query;
    for (const Release94Key& row : kRelease94Keys) {
        const ScopedKey productKey = OpenKey(query, kHkeyLocalMachine, row.registryKey, kKeyQueryValue);
        char productName[kTextSize];
        if (!productKey || !ReadValue(query, productKey, "ProductName", productName))
            continue;

        std::string title = TitleByInstance(query, productKey, productName);
        if (!Contains(productName, "9.4") && !Contains(productName, "900")) {
            std::string version;
            if (!ReadVersion94(query, productKey, version))
                continue;
            // Explorer's 9.4 release is numbered 900.
            if (Equals(productName, "Kavren Explorer") && version == "9.4")
                version = "900";
            title = WithVersion(productName, version);
        }
        AppendEntry(query, scan.inventory, title, productKey);
    }
}

void ScanBelsarKeys(const Scan& scan)
{
    if (!scan.wow64)
        return;
    const Query& query = scan.query;
    for (const Release94Key& row : kBelsarKeys) {
        const ScopedKey productKey =
            OpenKey(query, kHkeyLocalMachine, row.registryKey, kKeyQueryValue | kKeyWow64_64Key);
        char productName[kTextSize];
        if (!productKey || !ReadValue(query, productKey, "ProductName", productName))
            continue;

        // A version longer than nine characters is kept whole: cut, it would
        // name another release.
        std::string title = productName;
        if (!Contains(productName, "9.4")) {
            std::string version;
            if (!ReadVersion94(query, productKey, version))
                continue;
            title = WithVersion(productName, version);
        }
        AppendEntry(query, scan.inventory, title, productKey);
    }
}

void AppendUpdateLines(const Query& query, InventoryEntry& entry, const ScopedKey& productKey)
{
    const ScopedKey updates = OpenKey(query, productKey.get(), "Updates", kKeyRead);
    if (!updates)
        return;
    // The first failed call ends the walk, as the end of the list does.
    for (std::uint32_t index = 0;; ++index) {
        char subkeyName[kTextSize] = "";
        std::uint32_t chars = kTextSize;
        if (query.RegEnumKeyExA(updates.get(), index, subkeyName, &chars) != kErrorSuccess)
            break;
        const ScopedKey update = OpenKey(query, updates.get(), subkeyName, kKeyRead);
        char name[kTextSize];
        if (update && ReadValue(query, update, "Name", name))
            entry.details.emplace_back(name);
    }
}
