#include <cstdio>
#include <utility>

#include "scan/release93_catalogue.h"
#include "scan/scan.h"
#include "scan/text.h"

namespace {

constexpr std::size_t kTextSize = 256;
constexpr std::uint32_t kDisplayNameChars = 128;

// Walks the applied patches of a product in enumeration order, handing each
// display name that reads in the per-machine context to visit, until visit
// returns false. The first failed enumeration call ends the walk, as the end
// of the list does. Returns whether there was a patch at index 0.
template <typename Visit>
bool VisitAppliedPatches(const Query& query, const char* productCode, Visit visit)
{
    GuidBuffer patchCode = "";
    GuidBuffer targetProductCode = "";
    std::uint32_t targetContext = 0;
    std::uint32_t index = 0;
    while (query.MsiEnumPatchesExA(productCode, nullptr, kContextAll, kPatchStateApplied, index,
                                  patchCode, targetProductCode, &targetContext) == kErrorSuccess) {
        ++index;
        char displayName[kDisplayNameChars] = "";
        std::uint32_t chars = kDisplayNameChars;
        if (query.MsiGetPatchInfoExA(patchCode, targetProductCode, nullptr, kContextMachine,
                                    "DisplayName", displayName, &chars) == kErrorSuccess
            && !visit(displayName))
            break;
    }
    return index > 0;
}

// The title by release and service pack. With applied patches the title
// names the release alone; a patch named as the 9.3.1 release itself means
// the 9.3.1 level came as a patch on 9.3, so the product stays "9.3".
void ComposeTitle(char (&title)[kTextSize], const char* baseName, bool servicePackRead,
                  int servicePack, bool patchesPresent, bool releasePatch)
{
    if (!servicePackRead || servicePack <= 0)
        std::snprintf(title, sizeof title, "%s 9.3", baseName);
    else if (patchesPresent)
        std::snprintf(title, sizeof title, servicePack >= 2 && !releasePatch ? "%s 9.3.1" : "%s 9.3",
                      baseName);
    else if (servicePack == 1)
        std::snprintf(title, sizeof title, "%s 9.3 Service Pack %d", baseName, 1);
    else if (servicePack == 2)
        std::snprintf(title, sizeof title, "%s 9.3.1", baseName);
    else
        std::snprintf(title, sizeof title, "%s 9.3.1 Service Pack %d", baseName, servicePack - 2);
}

}  // namespace

bool IsProductInstalled(const Query& query, const char* productCode)
{
    GuidBuffer installedCode = "";
    std::uint32_t installedContext = 0;
    return query.MsiEnumProductsExA(productCode, nullptr, kContextAll, 0, installedCode,
                                    &installedContext) == kErrorSuccess;
}

void AppendPatchLines(const Query& query, InventoryEntry& entry, const char* productCode)
{
    VisitAppliedPatches(query, productCode, [&entry](const char* displayName) {
        entry.details.emplace_back(displayName);
        return true;
    });
}

void ScanRelease93Catalogue(const Scan& scan)
{
    const Query& query = scan.query;
    for (const Release93Product& row : kRelease93Catalogue) {
        std::uint32_t access = 0;
        if (!ChooseRowAccess(scan, row.versionedName, access)
            || !IsProductInstalled(query, row.productCode))
            continue;

        bool releasePatch = false;
        const bool patchesPresent =
            VisitAppliedPatches(query, row.productCode, [&](const char* displayName) {
                releasePatch = Equals(displayName, row.versionedName);
                return !releasePatch;
            });

        char productName[kTextSize];
        char servicePackText[kTextSize];
        bool servicePackRead = false;
        {
            const ScopedKey productKey = OpenKey(query, kHkeyLocalMachine, row.registryKey, access);
            if (!productKey)
                continue;
            ReadValue(query, productKey, "ProductName", productName);
            servicePackRead = ReadValue(query, productKey, "SPNumber", servicePackText);
        }

        char title[kTextSize];
        ComposeTitle(title, row.baseName, servicePackRead,
                     servicePackRead ? LeadingInteger(servicePackText) : 0, patchesPresent,
                     releasePatch);

        InventoryEntry entry{title, {}};
        AppendPatchLines(query, entry, row.productCode);
        char qfeKey[kQfeKeyPathSize];
        if (ResolveQfeKey(query, row.baseName, productName, qfeKey))
            AppendHotFixLines(query, entry, qfeKey, access);
        scan.inventory.push_back(std::move(entry));
    }
}
