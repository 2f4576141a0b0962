// An in-memory machine for the scan's tests: a registry with a 32-bit and a
// 64-bit view, Windows Installer products in the three contexts and their
// patches. It answers the query operations as Windows does and records the
// keys the scan opens.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "scan/query.h"

enum class View { Bits32, Bits64 };

struct OpenedKey {
    std::string path;  // full path under HKEY_LOCAL_MACHINE, as asked
    std::uint32_t access;
    View view;
    bool opened;
};

class FakeMachine : public Query {
public:
    // A 64-bit machine (wow64) has two registry views; a 32-bit one has one,
    // which both views name.
    explicit FakeMachine(bool wow64 = false) : wow64_(wow64) {}
    ~FakeMachine() override;

    // Registry. Paths are under HKEY_LOCAL_MACHINE and match without regard
    // to case; values and subkeys enumerate in the order they were made.
    void AddKey(const std::string& path, View view = View::Bits32);
    void SetString(const std::string& path, const std::string& name, const std::string& text,
                   View view = View::Bits32);
    void SetBytes(const std::string& path, const std::string& name, const std::string& bytes,
                  View view = View::Bits32);
    void FailQueryInfo(const std::string& path, View view = View::Bits32);

    // Windows Installer.
    void InstallProduct(const std::string& productCode, std::uint32_t context = kContextMachine);
    // A patch applied to the product in its context. Its display name reads in
    // the per-machine context only when the product is installed per machine.
    void ApplyPatch(const std::string& productCode, const std::string& patchCode,
                    const std::string& displayName, std::uint32_t context = kContextMachine);
    // Makes the patch enumeration of a product fail at that index.
    void FailPatchEnumeration(const std::string& productCode, std::uint32_t index);

    // What the scan did.
    const std::vector<OpenedKey>& opened() const { return opened_; }
    std::size_t openKeys() const { return handles_.size(); }

    // Query
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
    struct Key {
        std::string name;  // last path element, as made
        std::vector<std::pair<std::string, std::string>> values;
        std::vector<std::string> subkeys;  // lower-case full paths
        bool failQueryInfo = false;
    };
    struct Patch {
        std::string productCode;
        std::string patchCode;
        std::string displayName;
        std::uint32_t context;
    };
    struct Handle {
        int view;
        std::string path;  // lower case
    };

    int ViewIndex(View view) const { return wow64_ && view == View::Bits64 ? 1 : 0; }
    Key& MakeKey(const std::string& path, View view);
    const Key* FindKey(int view, const std::string& lowerPath) const;
    const Handle* FindHandle(RegKey key) const;

    bool wow64_;
    std::map<std::string, Key> views_[2];
    std::map<std::string, std::uint32_t> products_;  // code -> contexts
    std::vector<Patch> patches_;
    std::map<std::string, std::uint32_t> failEnumAt_;
    mutable std::map<RegKey, Handle> handles_;
    mutable RegKey nextHandle_ = 0x1000;
    mutable std::vector<OpenedKey> opened_;
};
