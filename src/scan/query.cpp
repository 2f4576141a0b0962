#include "scan/query.h"

#include <cstring>

ScopedKey& ScopedKey::operator=(ScopedKey&& other) noexcept
{
    if (this != &other) {
        Close();
        query_ = other.query_;
        key_ = other.key_;
        other.query_ = nullptr;
    }
    return *this;
}

void ScopedKey::Close()
{
    if (query_ != nullptr) {
        query_->RegCloseKey(key_);
        query_ = nullptr;
    }
}

ScopedKey OpenKey(const Query& query, RegKey parent, const char* subKey, std::uint32_t access)
{
    RegKey key = 0;
    if (query.RegOpenKeyEx(parent, subKey, 0, access, &key) != kErrorSuccess)
        return ScopedKey();
    return ScopedKey(query, key);
}

QueryStatus CopyValueData(const char* bytes, std::size_t size, char* data, std::uint32_t* dataSize)
{
    const std::size_t capacity = *dataSize;
    const bool terminated = size > 0 && bytes[size - 1] == '\0';
    const std::size_t needed = terminated ? size : size + 1;
    if (needed > capacity) {
        *dataSize = static_cast<std::uint32_t>(size);
        return kErrorMoreData;
    }
    std::memcpy(data, bytes, size);
    data[needed - 1] = '\0';
    data[capacity - 1] = '\0';
    *dataSize = static_cast<std::uint32_t>(size);
    return kErrorSuccess;
}

QueryStatus CopyName(const char* name, std::size_t length, char* buffer, std::uint32_t* chars)
{
    if (length >= *chars)
        return kErrorMoreData;
    std::memcpy(buffer, name, length);
    buffer[length] = '\0';
    *chars = static_cast<std::uint32_t>(length);
    return kErrorSuccess;
}
