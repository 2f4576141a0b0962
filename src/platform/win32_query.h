// The query operations answered by Windows itself: msi.dll, advapi32, kernel32.
#pragma once

#include "scan/query.h"

class Win32Query final : public Query {
public:
    bool IsWow64Process() const override;
    QueryStatus MsiEnumProductsExA(const char* productCode, const char* userSid,
                                  std::uint32_t context, std::uint32_t index,
                                  GuidBuffer& installedProductCode,
                                  std::uint32_t* installedContext) const override;
    QueryStatus MsiEnumPatchesExA(const char* productCode, const char* userSid,
                                 std::uint32_t context, std::uint32_t filter, std::uint32_t index,
                                 GuidBuffer& patchCode, GuidBuffer& targetProductCode,
                                 std::uint32_t* targetContext) const override;
    QueryStatus MsiGetPatchInfoExA(const char* patchCode, const char* productCode,
                                  const char* userSid, std::uint32_t context,
                                  const char* property, char* value,
                                  std::uint32_t* valueChars) const override;
    QueryStatus RegOpenKeyExA(RegKey parent, const char* subKey, std::uint32_t options,
                             std::uint32_t access, RegKey* result) const override;
    QueryStatus RegQueryValueExA(RegKey key, const char* valueName, char* data,
                                std::uint32_t* dataSize) const override;
    QueryStatus RegQueryInfoKeyA(RegKey key, std::uint32_t* values) const override;
    QueryStatus RegEnumValueA(RegKey key, std::uint32_t index, char* name,
                             std::uint32_t* nameChars, char* data,
                             std::uint32_t* dataSize) const override;
    QueryStatus RegEnumKeyExA(RegKey key, std::uint32_t index, char* name,
                             std::uint32_t* nameChars) const override;
    QueryStatus RegCloseKey(RegKey key) const override;
};
