#include "fake_machine.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <stdexcept>

namespace {

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool EqualNoCase(const std::string& a, const std::string& b)
{
    return Lower(a) == Lower(b);
}

void CopyGuid(const std::string& code, GuidBuffer& buffer)
{
    if (code.size() >= kGuidSize)
        throw std::logic_error("fake: not a product or patch code: " + code);
    std::memcpy(buffer, code.c_str(), code.size() + 1);
}

// The order in which the installer lists a product's patches by context.
int ContextRank(std::uint32_t context)
{
    return context == kContextUserManaged ? 0 : context == kContextUserUnmanaged ? 1 : 2;
}

}  // namespace

FakeMachine::~FakeMachine() = default;

FakeMachine::Key& FakeMachine::MakeKey(const std::string& path, View view)
{
    auto& keys = views_[ViewIndex(view)];
    const std::string lower = Lower(path);
    auto found = keys.find(lower);
    if (found != keys.end())
        return found->second;
    const std::size_t slash = path.rfind('\\');
    if (slash != std::string::npos) {
        MakeKey(path.substr(0, slash), view);
        keys[Lower(path.substr(0, slash))].subkeys.push_back(lower);
    }
    Key& key = keys[lower];
    key.name = slash == std::string::npos ? path : path.substr(slash + 1);
    return key;
}

void FakeMachine::AddKey(const std::string& path, View view)
{
    MakeKey(path, view);
}

void FakeMachine::SetBytes(const std::string& path, const std::string& name,
                           const std::string& bytes, View view)
{
    Key& key = MakeKey(path, view);
    for (auto& value : key.values) {
        if (EqualNoCase(value.first, name)) {
            value.second = bytes;
            return;
        }
    }
    key.values.emplace_back(name, bytes);
}

void FakeMachine::SetString(const std::string& path, const std::string& name,
                            const std::string& text, View view)
{
    SetBytes(path, name, text + '\0', view);
}

void FakeMachine::FailQueryInfo(const std::string& path, View view)
{
    MakeKey(path, view).failQueryInfo = true;
}

void FakeMachine::InstallProduct(const std::string& productCode, std::uint32_t context)
{
    products_[productCode] |= context;
}

void FakeMachine::ApplyPatch(const std::string& productCode, const std::string& patchCode,
                             const std::string& displayName, std::uint32_t context)
{
    patches_.push_back({productCode, patchCode, displayName, context});
}

void FakeMachine::FailPatchEnumeration(const std::string& productCode, std::uint32_t index)
{
    failEnumAt_[productCode] = index;
}

QueryStatus FakeMachine::MsiEnumProductsExA(const char* productCode, const char* userSid,
                                           std::uint32_t context, std::uint32_t index,
                                           GuidBuffer& installedProductCode,
                                           std::uint32_t* installedContext) const
{
    if (productCode == nullptr || userSid != nullptr)
        throw std::logic_error("fake: the scan asks for one product, for no particular user");
    const auto found = products_.find(productCode);
    if (index != 0 || found == products_.end() || (found->second & context) == 0)
        return kErrorNoMoreItems;
    CopyGuid(found->first, installedProductCode);
    for (const std::uint32_t one : {kContextUserManaged, kContextUserUnmanaged, kContextMachine}) {
        if (found->second & context & one) {
            *installedContext = one;
            break;
        }
    }
    return kErrorSuccess;
}

QueryStatus FakeMachine::MsiEnumPatchesExA(const char* productCode, const char* userSid,
                                          std::uint32_t context, std::uint32_t filter,
                                          std::uint32_t index, GuidBuffer& patchCode,
                                          GuidBuffer& targetProductCode,
                                          std::uint32_t* targetContext) const
{
    if (userSid != nullptr || filter != kPatchStateApplied)
        throw std::logic_error("fake: the scan lists applied patches for no particular user");
    const auto failAt = failEnumAt_.find(productCode);
    if (failAt != failEnumAt_.end() && failAt->second == index)
        return kErrorInvalidParameter;
    std::vector<const Patch*> listed;
    for (const Patch& patch : patches_) {
        if (patch.productCode == productCode && (patch.context & context) != 0)
            listed.push_back(&patch);
    }
    std::stable_sort(listed.begin(), listed.end(), [](const Patch* a, const Patch* b) {
        return ContextRank(a->context) < ContextRank(b->context);
    });
    if (index >= listed.size())
        return kErrorNoMoreItems;
    CopyGuid(listed[index]->patchCode, patchCode);
    CopyGuid(listed[index]->productCode, targetProductCode);
    *targetContext = listed[index]->context;
    return kErrorSuccess;
}

QueryStatus FakeMachine::MsiGetPatchInfoExA(const char* patchCode, const char* productCode,
                                           const char* userSid, std::uint32_t context,
                                           const char* property, char* value,
                                           std::uint32_t* valueChars) const
{
    if (userSid != nullptr || std::strcmp(property, "DisplayName") != 0)
        throw std::logic_error("fake: the scan asks only for a patch's DisplayName");
    for (const Patch& patch : patches_) {
        if (patch.patchCode == patchCode && patch.productCode == productCode
            && (patch.context & context) != 0)
            return CopyName(patch.displayName.c_str(), patch.displayName.size(), value, valueChars);
    }
    return kErrorUnknownPatch;
}

const FakeMachine::Key* FakeMachine::FindKey(int view, const std::string& lowerPath) const
{
    const auto found = views_[view].find(lowerPath);
    return found == views_[view].end() ? nullptr : &found->second;
}

const FakeMachine::Handle* FakeMachine::FindHandle(RegKey key) const
{
    const auto found = handles_.find(key);
    if (found == handles_.end())
        throw std::logic_error("fake: a key used after it was closed, or never opened");
    return &found->second;
}

QueryStatus FakeMachine::RegOpenKeyExA(RegKey parent, const char* subKey, std::uint32_t options,
                                      std::uint32_t access, RegKey* result) const
{
    if (options != 0)
        throw std::logic_error("fake: keys open with options 0");
    std::string path = subKey;
    int view = ViewIndex((access & kKeyWow64_64Key) ? View::Bits64 : View::Bits32);
    if (parent != kHkeyLocalMachine) {
        const Handle* handle = FindHandle(parent);
        path = handle->path + '\\' + subKey;
        view = handle->view;  // a subkey lies in its parent's view
    }
    const std::string lower = Lower(path);
    const bool exists = FindKey(view, lower) != nullptr;
    opened_.push_back({path, access, view == 1 ? View::Bits64 : View::Bits32, exists});
    if (!exists)
        return kErrorFileNotFound;
    *result = nextHandle_++;
    handles_[*result] = {view, lower};
    return kErrorSuccess;
}

QueryStatus FakeMachine::RegQueryValueExA(RegKey key, const char* valueName, char* data,
                                         std::uint32_t* dataSize) const
{
    const Handle* handle = FindHandle(key);
    for (const auto& value : FindKey(handle->view, handle->path)->values) {
        if (EqualNoCase(value.first, valueName))
            return CopyValueData(value.second.data(), value.second.size(), data, dataSize);
    }
    return kErrorFileNotFound;
}

QueryStatus FakeMachine::RegQueryInfoKeyA(RegKey key, std::uint32_t* values) const
{
    const Handle* handle = FindHandle(key);
    const Key* found = FindKey(handle->view, handle->path);
    if (found->failQueryInfo)
        return kErrorInvalidParameter;
    *values = static_cast<std::uint32_t>(found->values.size());
    return kErrorSuccess;
}

QueryStatus FakeMachine::RegEnumValueA(RegKey key, std::uint32_t index, char* name,
                                      std::uint32_t* nameChars, char* data,
                                      std::uint32_t* dataSize) const
{
    const Handle* handle = FindHandle(key);
    const auto& values = FindKey(handle->view, handle->path)->values;
    if (index >= values.size())
        return kErrorNoMoreItems;
    const auto& value = values[index];
    const QueryStatus named = CopyName(value.first.c_str(), value.first.size(), name, nameChars);
    if (named != kErrorSuccess)
        return named;
    return CopyValueData(value.second.data(), value.second.size(), data, dataSize);
}

QueryStatus FakeMachine::RegEnumKeyExA(RegKey key, std::uint32_t index, char* name,
                                      std::uint32_t* nameChars) const
{
    const Handle* handle = FindHandle(key);
    const auto& subkeys = FindKey(handle->view, handle->path)->subkeys;
    if (index >= subkeys.size())
        return kErrorNoMoreItems;
    const std::string& subkeyName = FindKey(handle->view, subkeys[index])->name;
    return CopyName(subkeyName.c_str(), subkeyName.size(), name, nameChars);
}

QueryStatus FakeMachine::RegCloseKey(RegKey key) const
{
    FindHandle(key);
    handles_.erase(key);
    return kErrorSuccess;
}
