// A machine described by its registry exports: answers the scan's queries as
// that machine's Windows would answer a 32-bit program.
//
// Registry: HKEY_LOCAL_MACHINE in two views on a 64-bit machine (the 32-bit
// view of SOFTWARE lies under SOFTWARE\Wow6432Node), one view otherwise.
// Windows Installer: products, applied patches and patch properties, read from
// the installer's registration in the export, the current user's per-user
// products from HKEY_CURRENT_USER.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "offline/codepage.h"
#include "offline/registry_tree.h"
#include "scan/query.h"

class ExportMachine : public Query {
public:
    // wow64: the machine is 64-bit Windows. userSid: the current user's SID,
    // empty when not known (then only HKEY_CURRENT_USER speaks for the user).
    ExportMachine(const RegistryTree& tree, const CodePage& codePage, bool wow64,
                  std::string userSid);

    std::size_t openKeys() const { return handles_.size(); }

    bool IsWow64Process() const override { return wow64_; }
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

private:
    struct Handle {
        const RegNode* node;
        std::uint32_t access;
    };
    // One installation of a product, or one applied patch.
    struct Instance {
        std::string code;
        std::string productCode;
        std::uint32_t context;
        std::string sid;
    };

    QueryStatus OpenedKey(RegKey key, std::uint32_t right, const RegNode** node) const;
    bool ResolveUsers(const char* userSid, std::uint32_t context,
                      std::vector<std::string>* users) const;
    const RegNode* ProductsKey(std::uint32_t context, const std::string& sid) const;
    const RegNode* ProductKey(std::uint32_t context, const std::string& sid,
                              const std::string& packed) const;
    const RegNode* UserDataKey(const std::string& sid, const std::string& path) const;
    std::vector<Instance> ListProducts(const std::string* packed, std::uint32_t context,
                                       const std::vector<std::string>& users) const;
    std::vector<Instance> ListPatches(const std::string* packed, std::uint32_t context,
                                      std::uint32_t filter,
                                      const std::vector<std::string>& users) const;

    const RegistryTree& tree_;
    const CodePage& codePage_;
    bool wow64_;
    std::string userSid_;
    mutable std::map<RegKey, Handle> handles_;
    mutable RegKey nextHandle_ = 0x1000;
};

// An export of 64-bit Windows holds HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node.
bool HasWow6432Node(const RegistryTree& tree);

// An export made in the 32-bit registry view of 64-bit Windows (by a 32-bit
// reg.exe without /reg:64) lacks SOFTWARE\Wow6432Node but has the 32-bit
// classes' SOFTWARE\Classes\Wow6432Node: its 64-bit view is missing.
bool LooksLike32BitView(const RegistryTree& tree);

// The users' SIDs (S-1-5-21-...) under which the export holds installer
// registration, in the registry's order.
std::vector<std::string> InstallerUserSids(const RegistryTree& tree);
