#include <cstdio>
#include <cstring>

#include "scan/qfe_products.h"
#include "scan/scan.h"
#include "scan/text.h"

namespace {

// The service pack as stored, at most 9 characters: a longer "SPNumber" does
// not read, and the key falls back to SP0 rather than name a cut number.
constexpr std::size_t kServicePackSize = 10;
constexpr std::uint32_t kValueSize = 256;

const QfeProduct* FindQfeProduct(const char* baseName)
{
    for (const QfeProduct& row : kQfeProducts) {
        if (Equals(row.baseName, baseName))
            return &row;
    }
    return nullptr;
}

}  // namespace

bool ResolveQfeKey(const Query& query, const char* baseName, const char* productName,
                   char (&keyPath)[kQfeKeyPathSize])
{
    char servicePack[kServicePackSize] = "0";
    const QfeProduct* row = FindQfeProduct(baseName);
    if (row == nullptr)
        return false;

    const char* code = row->code;
    if (row->oracle10gCode[0] != '\0' && Contains(productName, "Oracle10g"))
        code = row->oracle10gCode;

    if (const ScopedKey productKey = OpenKey(query, kHkeyLocalMachine, row->productKey, row->access)) {
        char stored[kServicePackSize];
        if (ReadValue(query, productKey, "SPNumber", stored))
            std::memcpy(servicePack, stored, sizeof servicePack);
    }

    std::snprintf(keyPath, sizeof keyPath, "SOFTWARE\\TOLV\\QFE\\%s\\SP%s", code, servicePack);
    return true;
}

void AppendHotFixLines(const Query& query, InventoryEntry& entry, const char* keyPath,
                       std::uint32_t access)
{
    const ScopedKey key = OpenKey(query, kHkeyLocalMachine, keyPath, access);
    if (!key)
        return;
    std::uint32_t values = 0;
    if (query.RegQueryInfoKeyA(key.get(), &values) != kErrorSuccess)
        return;
    for (std::uint32_t index = 0; index < values; ++index) {
        char name[kValueSize] = "";
        char data[kValueSize] = "";
        std::uint32_t nameChars = kValueSize;
        std::uint32_t dataSize = kValueSize;
        if (query.RegEnumValueA(key.get(), index, name, &nameChars, data, &dataSize) == kErrorSuccess)
            entry.details.emplace_back(data);
    }
}
