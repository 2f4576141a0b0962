#include "offline/export_machine.h"

#include <cstdio>
#include <cstring>

#include "offline/packed_guid.h"

namespace {


constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
constexpr std::uint32_t kKeyWow64_32Key = 0x0200;
constexpr std::uint32_t kKeyAllAccess = 0xF003F;
constexpr std::uint32_t kMaximumAllowed = 0x02000000;
constexpr std::uint32_t kGenericAll = 0x10000000;
constexpr std::uint32_t kGenericRead = 0x80000000;

constexpr std::uint32_t kPatchStateAll = 15;

constexpr char kMachineSid[] = "S-1-5-18";
constexpr char kEveryoneSid[] = "S-1-1-0";

// Where Windows Installer registers products, patches and their users.
constexpr char kMachineProducts[] = "SOFTWARE\\Classes\\Installer\\Products";
constexpr char kInstallerKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer";
constexpr char kUserProducts[] = "Software\\Microsoft\\Installer\\Products";  // per user

// Patch properties, by the key that holds them.
constexpr const char* kProductPatchProperties[] = {
    "DisplayName", "MoreInfoURL", "Installed", "Uninstallable", "PatchType", "LUAEnabled", "State",
};

// The access a handle grants, with the generic rights mapped as the registry maps them.
std::uint32_t GrantedAccess(std::uint32_t access)
{
    if (access & (kMaximumAllowed | kGenericAll))
        access |= kKeyAllAccess;
    if (access & kGenericRead)
        access |= kKeyRead;
    return access;
}

void CopyGuid(const std::string& code, GuidBuffer& buffer)
{
    std::snprintf(buffer, kGuidSize, "%s", code.c_str());
}

bool IsDword(const RegValue* value)
{
    return value != nullptr && value->type == kRegDword && value->data.size() == 4;
}

std::uint32_t DwordOf(const RegValue& value)
{
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i)
        number = (number << 8) | static_cast<unsigned char>(value.data[i]);
    return number;
}

// A value as the installer reads a property: text up to its first zero, a
// DWORD in decimal, nothing when absent.
std::string PropertyText(const RegValue* value)
{
    if (value == nullptr)
        return "";
    if (IsDword(value))
        return std::to_string(DwordOf(*value));
    return value->data.substr(0, value->data.find('\0'));
}

// A DWORD value, 0 when absent or of another type.
std::uint32_t DwordValue(const RegNode* key, const char* name)
{
    const RegValue* value = key == nullptr ? nullptr : key->Value(name);
    return IsDword(value) ? DwordOf(*value) : 0;
}

// A value's data under the buffer contract; with no buffer, its size only.
QueryStatus CopyData(const RegValue& value, char* data, std::uint32_t* dataSize)
{
    if (data == nullptr) {
        if (dataSize != nullptr)
            *dataSize = static_cast<std::uint32_t>(value.data.size());
        return kErrorSuccess;
    }
    return CopyValueData(value.data.data(), value.data.size(), data, dataSize);
}

// The strings of a REG_MULTI_SZ value, empty ones left out.
std::vector<std::string> MultiStrings(const RegValue* value)
{
    std::vector<std::string> strings;
    if (value == nullptr)
        return strings;
    std::size_t start = 0;
    while (start < value->data.size()) {
        std::size_t end = value->data.find('\0', start);
        if (end == std::string::npos)
            end = value->data.size();
        if (end > start)
            strings.push_back(value->data.substr(start, end - start));
        start = end + 1;
    }
    return strings;
}

// MsiGetPatchInfoEx's buffer rule: the text and its length, or as much as
// fits with ERROR_MORE_DATA and the length needed.
QueryStatus CopyProperty(const std::string& text, char* value, std::uint32_t* valueChars)
{
    const std::uint32_t capacity = *valueChars;
    *valueChars = static_cast<std::uint32_t>(text.size());
    if (value == nullptr)
        return kErrorSuccess;
    if (text.size() < capacity) {
        std::memcpy(value, text.c_str(), text.size() + 1);
        return kErrorSuccess;
    }
    if (capacity > 0) {
        std::memcpy(value, text.data(), capacity - 1);
        value[capacity - 1] = '\0';
    }
    return kErrorMoreData;
}

}  // namespace

ExportMachine::ExportMachine(const RegistryTree& tree, const CodePage& codePage, bool wow64,
                             std::string userSid)
    : tree_(tree), codePage_(codePage), wow64_(wow64), userSid_(std::move(userSid))
{
}

// Registry.

// The key behind a handle, when the handle grants the right asked for.
QueryStatus ExportMachine::OpenedKey(RegKey key, std::uint32_t right, const RegNode** node) const
{
    Handle handle{&tree_.Root(Hive::LocalMachine), kKeyAllAccess};
    if (key != kHkeyLocalMachine) {
        const auto found = handles_.find(key);
        if (found == handles_.end())
            return kErrorInvalidHandle;
        handle = found->second;
    }
    if ((handle.access & right) != right)
        return kErrorAccessDenied;
    *node = handle.node;
    return kErrorSuccess;
}

QueryStatus ExportMachine::RegOpenKeyExA(RegKey parent, const char* subKey, std::uint32_t,
                                         std::uint32_t access, RegKey* result) const
{
    const RegNode* node = nullptr;
    if (const QueryStatus status = OpenedKey(parent, 0, &node); status != kErrorSuccess)
        return status;
    if (result == nullptr || ((access & kKeyWow64_64Key) && (access & kKeyWow64_32Key)))
        return kErrorInvalidParameter;

    const RegNode* root = &tree_.Root(Hive::LocalMachine);
    std::string path = subKey != nullptr ? Utf8FromAnsi(subKey, codePage_) : "";
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
    std::vector<std::string_view> names;
    if (!path.empty())
        names = SplitPath(path);

    // A 32-bit program on 64-bit Windows sees SOFTWARE\Wow6432Node as SOFTWARE
    // unless it asks for the 64-bit view.
    const bool view32 = wow64_ && !(access & kKeyWow64_64Key);
    if (view32 && node == root && !names.empty() && SameName(names[0], "SOFTWARE")
        && !(names.size() > 1 && SameName(names[1], "Wow6432Node")))
        names.insert(names.begin() + 1, "Wow6432Node");

    for (const std::string_view name : names) {
        node = name.empty() ? nullptr : node->Child(name);
        if (node == nullptr)
            return kErrorFileNotFound;
    }
    *result = nextHandle_;
    nextHandle_ += 4;
    handles_[*result] = {node, GrantedAccess(access)};
    return kErrorSuccess;
}

QueryStatus ExportMachine::RegQueryValueExA(RegKey key, const char* valueName, char* data,
                                            std::uint32_t* dataSize) const
{
    const RegNode* node = nullptr;
    if (const QueryStatus status = OpenedKey(key, kKeyQueryValue, &node); status != kErrorSuccess)
        return status;
    if (dataSize == nullptr && data != nullptr)
        return kErrorInvalidParameter;
    const RegValue* value =
        node->Value(valueName != nullptr ? Utf8FromAnsi(valueName, codePage_) : std::string());
    if (value == nullptr)
        return kErrorFileNotFound;
    return CopyData(*value, data, dataSize);
}

QueryStatus ExportMachine::RegQueryInfoKeyA(RegKey key, std::uint32_t* values) const
{
    const RegNode* node = nullptr;
    if (const QueryStatus status = OpenedKey(key, kKeyQueryValue, &node); status != kErrorSuccess)
        return status;
    if (values != nullptr)
        *values = static_cast<std::uint32_t>(node->values().size());
    return kErrorSuccess;
}

QueryStatus ExportMachine::RegEnumValueA(RegKey key, std::uint32_t index, char* name,
                                         std::uint32_t* nameChars, char* data,
                                         std::uint32_t* dataSize) const
{
    const RegNode* node = nullptr;
    if (const QueryStatus status = OpenedKey(key, kKeyQueryValue, &node); status != kErrorSuccess)
        return status;
    if (name == nullptr || nameChars == nullptr || (data != nullptr && dataSize == nullptr))
        return kErrorInvalidParameter;
    if (index >= node->values().size())
        return kErrorNoMoreItems;
    const RegValue& value = node->values()[index];
    const std::string ansiName = AnsiFromUtf8(value.name, codePage_);
    const QueryStatus named = CopyName(ansiName.c_str(), ansiName.size(), name, nameChars);
    if (named != kErrorSuccess)
        return named;
    return CopyData(value, data, dataSize);
}

QueryStatus ExportMachine::RegEnumKeyExA(RegKey key, std::uint32_t index, char* name,
                                         std::uint32_t* nameChars) const
{
    const RegNode* node = nullptr;
    if (const QueryStatus status = OpenedKey(key, kKeyEnumerateSubKeys, &node);
        status != kErrorSuccess)
        return status;
    if (name == nullptr || nameChars == nullptr)
        return kErrorInvalidParameter;
    if (index >= node->ChildCount())
        return kErrorNoMoreItems;
    const std::string ansiName = AnsiFromUtf8(node->ChildAt(index).name(), codePage_);
    return CopyName(ansiName.c_str(), ansiName.size(), name, nameChars);
}

QueryStatus ExportMachine::RegCloseKey(RegKey key) const
{
    if (key == kHkeyLocalMachine)
        return kErrorSuccess;
    return handles_.erase(key) != 0 ? kErrorSuccess : kErrorInvalidHandle;
}

// Windows Installer.

// The users a query with this SID reaches: the current user for none, every
// known user for "everyone". False for arguments the installer refuses.
bool ExportMachine::ResolveUsers(const char* userSid, std::uint32_t context,
                                 std::vector<std::string>* users) const
{
    if (context == 0 || (context & ~kContextAll) != 0)
        return false;
    if (userSid == nullptr) {
        users->push_back(userSid_);
        return true;
    }
    if (context == kContextMachine || SameName(userSid, kMachineSid))
        return false;
    if (!SameName(userSid, kEveryoneSid)) {
        users->push_back(userSid);
        return true;
    }
    users->push_back(userSid_);
    for (const std::string& sid : InstallerUserSids(tree_)) {
        if (!SameName(sid, userSid_))
            users->push_back(sid);
    }
    return true;
}

// The key that lists a context's products, where the export can have it.
const RegNode* ExportMachine::ProductsKey(std::uint32_t context, const std::string& sid) const
{
    if (context == kContextMachine)
        return tree_.Find(Hive::LocalMachine, kMachineProducts);
    if (context == kContextUserUnmanaged) {
        // Only the current user's own registry is in the export.
        return SameName(sid, userSid_) ? tree_.Find(Hive::CurrentUser, kUserProducts) : nullptr;
    }
    if (sid.empty())
        return nullptr;
    return tree_.Find(Hive::LocalMachine,
                      std::string(kInstallerKey) + "\\Managed\\" + sid + "\\Installer\\Products");
}

const RegNode* ExportMachine::ProductKey(std::uint32_t context, const std::string& sid,
                                         const std::string& packed) const
{
    const RegNode* products = ProductsKey(context, sid);
    return products == nullptr ? nullptr : products->Child(packed);
}

const RegNode* ExportMachine::UserDataKey(const std::string& sid, const std::string& path) const
{
    if (sid.empty())
        return nullptr;
    return tree_.Find(Hive::LocalMachine,
                      std::string(kInstallerKey) + "\\UserData\\" + sid + "\\" + path);
}

// Instances in the installer's order: per-user managed, per-user unmanaged,
// then per-machine; within a context in the registry's order.
std::vector<ExportMachine::Instance> ExportMachine::ListProducts(
    const std::string* packed, std::uint32_t context, const std::vector<std::string>& users) const
{
    std::vector<Instance> instances;
    const auto add = [&](std::uint32_t oneContext, const std::string& sid) {
        if (!(context & oneContext))
            return;
        const RegNode* products = ProductsKey(oneContext, sid);
        if (products == nullptr)
            return;
        if (packed != nullptr) {
            if (products->Child(*packed) != nullptr) {
                const std::string code = *UnpackGuid(*packed);
                instances.push_back({code, code, oneContext, sid});
            }
            return;
        }
        for (std::size_t i = 0; i < products->ChildCount(); ++i) {
            if (const auto code = UnpackGuid(products->ChildAt(i).name()))
                instances.push_back({*code, *code, oneContext, sid});
        }
    };
    for (const std::string& sid : users)
        add(kContextUserManaged, sid);
    for (const std::string& sid : users)
        add(kContextUserUnmanaged, sid);
    add(kContextMachine, kMachineSid);
    return instances;
}

std::vector<ExportMachine::Instance> ExportMachine::ListPatches(
    const std::string* packed, std::uint32_t context, std::uint32_t filter,
    const std::vector<std::string>& users) const
{
    std::vector<Instance> patches;
    for (const Instance& product : ListProducts(packed, context, users)) {
        const std::string packedProduct = *PackGuid(product.code);
        const RegNode* productKey = ProductKey(product.context, product.sid, packedProduct);
        const RegNode* patchesKey = productKey == nullptr ? nullptr : productKey->Child("Patches");
        if (patchesKey == nullptr)
            continue;
        for (const std::string& packedPatch : MultiStrings(patchesKey->Value("Patches"))) {
            const std::optional<std::string> patchCode = UnpackGuid(packedPatch);
            if (!patchCode)
                continue;
            const RegNode* patchKey = UserDataKey(
                product.sid, "Products\\" + packedProduct + "\\Patches\\" + packedPatch);
            // A patch without a readable state is in none of the states asked for.
            if (DwordValue(patchKey, "State") & filter)
                patches.push_back({*patchCode, product.code, product.context, product.sid});
        }
    }
    return patches;
}

QueryStatus ExportMachine::MsiEnumProductsExA(const char* productCode, const char* userSid,
                                              std::uint32_t context, std::uint32_t index,
                                              GuidBuffer& installedProductCode,
                                              std::uint32_t* installedContext) const
{
    std::vector<std::string> users;
    if (!ResolveUsers(userSid, context, &users))
        return kErrorInvalidParameter;
    std::optional<std::string> packed;
    if (productCode != nullptr && !(packed = PackGuid(productCode)))
        return kErrorInvalidParameter;
    const std::vector<Instance> products = ListProducts(packed ? &*packed : nullptr, context, users);
    if (index >= products.size())
        return kErrorNoMoreItems;
    CopyGuid(products[index].code, installedProductCode);
    if (installedContext != nullptr)
        *installedContext = products[index].context;
    return kErrorSuccess;
}

QueryStatus ExportMachine::MsiEnumPatchesExA(const char* productCode, const char* userSid,
                                             std::uint32_t context, std::uint32_t filter,
                                             std::uint32_t index, GuidBuffer& patchCode,
                                             GuidBuffer& targetProductCode,
                                             std::uint32_t* targetContext) const
{
    std::vector<std::string> users;
    if (!ResolveUsers(userSid, context, &users) || filter == 0 || (filter & ~kPatchStateAll) != 0)
        return kErrorInvalidParameter;
    std::optional<std::string> packed;
    if (productCode != nullptr && !(packed = PackGuid(productCode)))
        return kErrorInvalidParameter;
    const std::vector<Instance> patches =
        ListPatches(packed ? &*packed : nullptr, context, filter, users);
    if (index >= patches.size())
        return kErrorNoMoreItems;
    CopyGuid(patches[index].code, patchCode);
    CopyGuid(patches[index].productCode, targetProductCode);
    if (targetContext != nullptr)
        *targetContext = patches[index].context;
    return kErrorSuccess;
}

QueryStatus ExportMachine::MsiGetPatchInfoExA(const char* patchCode, const char* productCode,
                                              const char* userSid, std::uint32_t context,
                                              const char* property, char* value,
                                              std::uint32_t* valueChars) const
{
    const std::optional<std::string> packedPatch =
        patchCode != nullptr ? PackGuid(patchCode) : std::nullopt;
    const std::optional<std::string> packedProduct =
        productCode != nullptr ? PackGuid(productCode) : std::nullopt;
    if (!packedPatch || !packedProduct || property == nullptr
        || (value != nullptr && valueChars == nullptr))
        return kErrorInvalidParameter;
    if (context != kContextUserManaged && context != kContextUserUnmanaged
        && context != kContextMachine)
        return kErrorInvalidParameter;
    if (userSid != nullptr && (context == kContextMachine || SameName(userSid, kMachineSid)))
        return kErrorInvalidParameter;
    const std::string sid = context == kContextMachine ? kMachineSid
                            : userSid != nullptr      ? userSid
                                                      : userSid_;

    const RegNode* product = UserDataKey(sid, "Products\\" + *packedProduct);
    if (product == nullptr)
        return kErrorUnknownProduct;
    // The patch must be registered for the user (where its cached package is
    // recorded) and for the product.
    const RegNode* patch = UserDataKey(sid, "Patches\\" + *packedPatch);
    const RegNode* productPatches = product->Child("Patches");
    const RegNode* productPatch =
        productPatches == nullptr ? nullptr : productPatches->Child(*packedPatch);
    if (patch == nullptr || productPatch == nullptr)
        return kErrorUnknownPatch;

    const RegValue* found = nullptr;
    if (SameName(property, "LocalPackage")) {
        found = patch->Value("LocalPackage");
    } else if (SameName(property, "Transforms")) {
        const RegNode* key = ProductKey(context, sid, *packedProduct);
        const RegNode* patches = key == nullptr ? nullptr : key->Child("Patches");
        found = patches == nullptr ? nullptr : patches->Value(*packedPatch);
    } else {
        bool known = false;
        for (const char* name : kProductPatchProperties)
            known = known || std::strcmp(name, property) == 0;
        if (!known)
            return kErrorUnknownProperty;
        found = productPatch->Value(property);
    }
    if (valueChars == nullptr)
        return kErrorSuccess;
    return CopyProperty(PropertyText(found), value, valueChars);
}

bool HasWow6432Node(const RegistryTree& tree)
{
    return tree.Find(Hive::LocalMachine, "SOFTWARE\\Wow6432Node") != nullptr;
}

bool LooksLike32BitView(const RegistryTree& tree)
{
    return !HasWow6432Node(tree)
           && tree.Find(Hive::LocalMachine, "SOFTWARE\\Classes\\Wow6432Node") != nullptr;
}

std::vector<std::string> InstallerUserSids(const RegistryTree& tree)
{
    std::vector<std::string> sids;
    for (const char* parent : {"\\UserData", "\\Managed"}) {
        const RegNode* key = tree.Find(Hive::LocalMachine, std::string(kInstallerKey) + parent);
        for (std::size_t i = 0; key != nullptr && i < key->ChildCount(); ++i) {
            const std::string& sid = key->ChildAt(i).name();
            bool known = false;
            for (const std::string& other : sids)
                known = known || SameName(other, sid);
            if (!known && FoldName(sid).compare(0, 9, "S-1-5-21-") == 0)
                sids.push_back(sid);
        }
    }
    return sids;
}
