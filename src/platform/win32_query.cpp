#include "platform/win32_query.h"

#include <windows.h>
#include <msi.h>

namespace {

// HKEY_LOCAL_MACHINE is sign-extended on 64-bit Windows; other keys are
// handles and round-trip unchanged.
HKEY ToHkey(RegKey key)
{
    return key == kHkeyLocalMachine ? HKEY_LOCAL_MACHINE : reinterpret_cast<HKEY>(key);
}

void TerminateGuid(GuidBuffer& code)
{
    code[kGuidSize - 1] = '\0';
}

void TerminateName(char* name, std::uint32_t capacity)
{
    if (capacity > 0)
        name[capacity - 1] = '\0';
}

}  // namespace

bool Win32Query::IsWow64Process() const
{
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    // Absent before Windows XP SP2: then the process is not under WOW64.
    const FARPROC proc = GetProcAddress(GetModuleHandleA("kernel32"), "IsWow64Process");
    BOOL wow64 = FALSE;
    if (proc != nullptr)
        reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void (*)()>(proc))(GetCurrentProcess(), &wow64);
    return wow64 != FALSE;
}

QueryStatus Win32Query::MsiEnumProductsExA(const char* productCode, const char* userSid,
                                          std::uint32_t context, std::uint32_t index,
                                          GuidBuffer& installedProductCode,
                                          std::uint32_t* installedContext) const
{
    MSIINSTALLCONTEXT installed = MSIINSTALLCONTEXT_NONE;
    const UINT status = ::MsiEnumProductsExA(productCode, userSid, context, index,
                                             installedProductCode, &installed, nullptr, nullptr);
    TerminateGuid(installedProductCode);
    *installedContext = static_cast<std::uint32_t>(installed);
    return status;
}

QueryStatus Win32Query::MsiEnumPatchesExA(const char* productCode, const char* userSid,
                                         std::uint32_t context, std::uint32_t filter,
                                         std::uint32_t index, GuidBuffer& patchCode,
                                         GuidBuffer& targetProductCode,
                                         std::uint32_t* targetContext) const
{
    MSIINSTALLCONTEXT target = MSIINSTALLCONTEXT_NONE;
    const UINT status = ::MsiEnumPatchesExA(productCode, userSid, context, filter, index, patchCode,
                                            targetProductCode, &target, nullptr, nullptr);
    TerminateGuid(patchCode);
    TerminateGuid(targetProductCode);
    *targetContext = static_cast<std::uint32_t>(target);
    return status;
}

QueryStatus Win32Query::MsiGetPatchInfoExA(const char* patchCode, const char* productCode,
                                          const char* userSid, std::uint32_t context,
                                          const char* property, char* value,
                                          std::uint32_t* valueChars) const
{
    const std::uint32_t capacity = *valueChars;
    DWORD chars = capacity;
    const UINT status = ::MsiGetPatchInfoExA(patchCode, productCode, userSid,
                                             static_cast<MSIINSTALLCONTEXT>(context), property,
                                             value, &chars);
    *valueChars = chars;
    TerminateName(value, capacity);
    return status;
}

QueryStatus Win32Query::RegOpenKeyExA(RegKey parent, const char* subKey, std::uint32_t options,
                                     std::uint32_t access, RegKey* result) const
{
    HKEY key = nullptr;
    const LONG status = ::RegOpenKeyExA(ToHkey(parent), subKey, options, access, &key);
    if (status == ERROR_SUCCESS)
        *result = reinterpret_cast<RegKey>(key);
    return static_cast<QueryStatus>(status);
}

QueryStatus Win32Query::RegQueryValueExA(RegKey key, const char* valueName, char* data,
                                        std::uint32_t* dataSize) const
{
    const std::uint32_t capacity = *dataSize;
    DWORD size = capacity;
    const LONG status = ::RegQueryValueExA(ToHkey(key), valueName, nullptr, nullptr,
                                           reinterpret_cast<BYTE*>(data), &size);
    *dataSize = size;
    const QueryStatus terminated = TerminateValueData(data, capacity, size);
    return status != ERROR_SUCCESS ? static_cast<QueryStatus>(status) : terminated;
}

QueryStatus Win32Query::RegQueryInfoKeyA(RegKey key, std::uint32_t* values) const
{
    DWORD count = 0;
    const LONG status = ::RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, nullptr, nullptr,
                                           nullptr, &count, nullptr, nullptr, nullptr, nullptr);
    *values = count;
    return static_cast<QueryStatus>(status);
}

QueryStatus Win32Query::RegEnumValueA(RegKey key, std::uint32_t index, char* name,
                                     std::uint32_t* nameChars, char* data,
                                     std::uint32_t* dataSize) const
{
    const std::uint32_t nameCapacity = *nameChars;
    const std::uint32_t dataCapacity = *dataSize;
    DWORD nameLength = nameCapacity;
    DWORD size = dataCapacity;
    const LONG status = ::RegEnumValueA(ToHkey(key), index, name, &nameLength, nullptr, nullptr,
                                        reinterpret_cast<BYTE*>(data), &size);
    *nameChars = nameLength;
    *dataSize = size;
    TerminateName(name, nameCapacity);
    const QueryStatus terminated = TerminateValueData(data, dataCapacity, size);
    return status != ERROR_SUCCESS ? static_cast<QueryStatus>(status) : terminated;
}

QueryStatus Win32Query::RegEnumKeyExA(RegKey key, std::uint32_t index, char* name,
                                     std::uint32_t* nameChars) const
{
    const std::uint32_t capacity = *nameChars;
    DWORD length = capacity;
    const LONG status = ::RegEnumKeyExA(ToHkey(key), index, name, &length, nullptr, nullptr,
                                        nullptr, nullptr);
    *nameChars = length;
    TerminateName(name, capacity);
    return static_cast<QueryStatus>(status);
}

QueryStatus Win32Query::RegCloseKey(RegKey key) const
{
    return static_cast<QueryStatus>(::RegCloseKey(ToHkey(key)));
}
