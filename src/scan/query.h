// The platform operations the scan relies on: Windows Installer, the registry
// and one process query. Each method mirrors its Win32 namesake (the ANSI form),
// takes the arguments the scan passes and answers with a Win32 status, 0 for
// success. Arguments the scan always passes as NULL (reserved words, value
// types, class names, SID out-buffers) are left out.
//
// Every implementation terminates each text buffer it fills at its last byte,
// whatever the platform returned, and reports a registry value whose data does
// not fit its buffer together with a terminating zero as absent.
#pragma once

#include <cstddef>
#include <cstdint>

using QueryStatus = std::uint32_t;
constexpr QueryStatus kErrorSuccess = 0;
constexpr QueryStatus kErrorFileNotFound = 2;
constexpr QueryStatus kErrorAccessDenied = 5;
constexpr QueryStatus kErrorInvalidHandle = 6;
constexpr QueryStatus kErrorInvalidParameter = 87;
constexpr QueryStatus kErrorMoreData = 234;
constexpr QueryStatus kErrorNoMoreItems = 259;
constexpr QueryStatus kErrorUnknownProduct = 1605;
constexpr QueryStatus kErrorUnknownProperty = 1608;
constexpr QueryStatus kErrorUnknownPatch = 1647;

// An open registry key, as opaque as HKEY.
using RegKey = std::uintptr_t;
constexpr RegKey kHkeyLocalMachine = 0x80000002;

// Registry access masks.
constexpr std::uint32_t kKeyQueryValue = 0x0001;
constexpr std::uint32_t kKeyWow64_64Key = 0x0100;
constexpr std::uint32_t kKeyRead = 0x20019;

// Windows Installer contexts and patch states.
constexpr std::uint32_t kContextUserManaged = 1;
constexpr std::uint32_t kContextUserUnmanaged = 2;
constexpr std::uint32_t kContextMachine = 4;
constexpr std::uint32_t kContextAll = 7;
constexpr std::uint32_t kPatchStateApplied = 1;

// A product or patch code: 38 characters in braces and the terminating zero.
constexpr std::size_t kGuidSize = 39;
using GuidBuffer = char[kGuidSize];

class Query {
public:
    virtual ~Query() = default;

    // IsWow64Process for the current process, looked up by name in kernel32
    // with its out flag preset to false; false when the function is absent.
    virtual bool IsWow64Process() const = 0;

    virtual QueryStatus MsiEnumProductsExA(const char* productCode, const char* userSid,
                                          std::uint32_t context, std::uint32_t index,
                                          GuidBuffer& installedProductCode,
                                          std::uint32_t* installedContext) const = 0;

    virtual QueryStatus MsiEnumPatchesExA(const char* productCode, const char* userSid,
                                         std::uint32_t context, std::uint32_t filter,
                                         std::uint32_t index, GuidBuffer& patchCode,
                                         GuidBuffer& targetProductCode,
                                         std::uint32_t* targetContext) const = 0;

    // valueChars: the capacity in characters on entry, the length without the
    // terminating zero on return.
    virtual QueryStatus MsiGetPatchInfoExA(const char* patchCode, const char* productCode,
                                          const char* userSid, std::uint32_t context,
                                          const char* property, char* value,
                                          std::uint32_t* valueChars) const = 0;

    virtual QueryStatus RegOpenKeyExA(RegKey parent, const char* subKey, std::uint32_t options,
                                     std::uint32_t access, RegKey* result) const = 0;

    // dataSize: the capacity in bytes on entry, the bytes stored on return.
    virtual QueryStatus RegQueryValueExA(RegKey key, const char* valueName, char* data,
                                        std::uint32_t* dataSize) const = 0;

    // Asks only for the number of values.
    virtual QueryStatus RegQueryInfoKeyA(RegKey key, std::uint32_t* values) const = 0;

    virtual QueryStatus RegEnumValueA(RegKey key, std::uint32_t index, char* name,
                                     std::uint32_t* nameChars, char* data,
                                     std::uint32_t* dataSize) const = 0;

    virtual QueryStatus RegEnumKeyExA(RegKey key, std::uint32_t index, char* name,
                                     std::uint32_t* nameChars) const = 0;

    virtual QueryStatus RegCloseKey(RegKey key) const = 0;
};

// Owns a key that opened and closes it when it goes out of scope.
class ScopedKey {
public:
    ScopedKey() = default;
    ScopedKey(const Query& query, RegKey key) : query_(&query), key_(key) {}
    ScopedKey(ScopedKey&& other) noexcept : query_(other.query_), key_(other.key_) { other.query_ = nullptr; }
    ScopedKey& operator=(ScopedKey&& other) noexcept;
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;
    ~ScopedKey() { Close(); }

    explicit operator bool() const { return query_ != nullptr; }
    RegKey get() const { return key_; }
    void Close();

private:
    const Query* query_ = nullptr;
    RegKey key_ = 0;
};

// RegOpenKeyExA with options 0: an empty ScopedKey when the key does not open.
ScopedKey OpenKey(const Query& query, RegKey parent, const char* subKey, std::uint32_t access);

// RegQueryValueExA into a whole buffer, given its full size: true when the
// value was read. The buffer is emptied first, so it holds text either way.
template <std::size_t N>
bool ReadValue(const Query& query, const ScopedKey& key, const char* valueName, char (&buffer)[N])
{
    static_assert(N > 0 && N <= UINT32_MAX, "registry value buffers are small");
    buffer[0] = '\0';
    std::uint32_t size = N;
    if (query.RegQueryValueExA(key.get(), valueName, buffer, &size) != kErrorSuccess) {
        buffer[0] = '\0';
        return false;
    }
    return true;
}

// Terminates value data of `size` bytes that a backend stored in a buffer of
// `capacity` bytes: data that does not fit with a terminating zero counts as
// absent (kErrorMoreData). The last byte is zeroed whatever happened.
QueryStatus TerminateValueData(char* data, std::uint32_t capacity, std::uint32_t size);

// For backends that hold a value's bytes in memory: copies them into the
// caller's buffer under the contract above (a value that does not fit with a
// terminating zero is kErrorMoreData) and terminates the text.
QueryStatus CopyValueData(const char* bytes, std::size_t size, char* data, std::uint32_t* dataSize);

// Copies a name into a buffer of *chars characters: kErrorMoreData when it does
// not fit with its zero, else *chars becomes its length.
QueryStatus CopyName(const char* name, std::size_t length, char* buffer, std::uint32_t* chars);
