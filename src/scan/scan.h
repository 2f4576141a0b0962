// The installation scan: five passes over the catalogue tables, each
// appending one entry per installed product it recognises.
#pragma once

#include <cstdint>

#include "scan/inventory.h"
#include "scan/query.h"

// What every pass reads and writes during one scan.
struct Scan {
    const Query& query;
    bool wow64;  // a 32-bit process on 64-bit Windows
    Inventory& inventory;
};

// Forgets the previous result and runs the passes in their fixed order.
void ScanInventory(const Query& query, Inventory& inventory);

void ScanRelease93Catalogue(const Scan& scan);
void ScanWow64Catalogue(const Scan& scan);
void ScanInstallerCatalogue(const Scan& scan);
void ScanRelease94Keys(const Scan& scan);
void ScanBelsarKeys(const Scan& scan);

// Whether Windows Installer has the product installed, in any context.
bool IsProductInstalled(const Query& query, const char* productCode);

// The access mask for a catalogue row's keys: a "64 bit" product reads the
// 64-bit view and exists only on 64-bit Windows (false: skip the row).
bool ChooseRowAccess(const Scan& scan, const char* name, std::uint32_t& access);

// One detail line per applied patch of the product whose display name reads.
void AppendPatchLines(const Query& query, InventoryEntry& entry, const char* productCode);

// The hot-fix key path of a product known by its base name, with the service
// pack read from the product's own key; false for a name not in the table.
constexpr std::size_t kQfeKeyPathSize = 256;
bool ResolveQfeKey(const Query& query, const char* baseName, const char* productName,
                   char (&keyPath)[kQfeKeyPathSize]);

// One detail line per value of the hot-fix key: the value's data as text.
void AppendHotFixLines(const Query& query, InventoryEntry& entry, const char* keyPath,
                       std::uint32_t access);

// One detail line per "Updates" subkey of the product key: its "Name".
void AppendUpdateLines(const Query& query, InventoryEntry& entry, const ScopedKey& productKey);
