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
    if (query.RegOpenKeyExA(parent, subKey, 0, access, &key) != kErrorSuccess)
        return ScopedKey();
    return ScopedKey(query, key);
}

QueryStatus TerminateValueData(char* data, std::uint32_t capacity, std::uint32_t size)
{
    if (capacity == 0)
        return kErrorMoreData;
    QueryStatus status = kErrorSuccess;
    if (size > capacity || (size == capacity && data[size - 1] != '\0'))
        status = kErrorMoreData;
    else if (size == 0 || data[size - 1] != '\0')
        data[size] = '\0';
    data[capacity - 1] = '\0';
    return status;
}

QueryStatus CopyValueData(const char* bytes, std::size_t size, char* data, std::uint32_t* dataSize)
{
    const std::uint32_t capacity = *dataSize;
    *dataSize = static_cast<std::uint32_t>(size);
    if (size > capacity)
        return kErrorMoreData;
    std::memcpy(data, bytes, size);
    return TerminateValueData(data, capacity, static_cast<std::uint32_t>(size));
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
