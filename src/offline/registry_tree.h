// The keys that an export holds, as the registry would hold them after the
// export was imported: names in UTF-8, value data as the ANSI registry
// operations return it. Only the kept subtrees (see kept_keys.h) and their
// ancestors are here.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

enum class Hive { LocalMachine, CurrentUser };
constexpr int kHiveCount = 2;

// Registry value types.
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;

struct RegValue {
    std::string name;  // "" for the default value
    std::uint32_t type;
    std::string data;
};

// Names compare as the registry compares them: without regard to case (ASCII
// letters; other characters as they stand).
std::string FoldName(std::string_view name);
bool SameName(std::string_view a, std::string_view b);

class RegNode {
public:
    explicit RegNode(std::string name) : name_(std::move(name)) {}

    const std::string& name() const { return name_; }
    const std::vector<RegValue>& values() const { return values_; }

    const RegNode* Child(std::string_view name) const;
    RegNode* Child(std::string_view name);
    RegNode& MakeChild(std::string_view name);
    void RemoveChild(std::string_view name);

    // Subkeys in the registry's enumeration order: sorted by folded name.
    std::size_t ChildCount() const { return children_.size(); }
    const RegNode& ChildAt(std::size_t index) const;

    const RegValue* Value(std::string_view name) const;
    // A value set again keeps its place; a new one goes last, as the registry
    // lists values in the order they were made.
    void SetValue(std::string_view name, std::uint32_t type, std::string data);
    void RemoveValue(std::string_view name);

private:
    std::string name_;
    std::vector<RegValue> values_;
    std::map<std::string, std::unique_ptr<RegNode>> children_;  // by folded name
    mutable std::vector<const RegNode*> order_;                 // cache for ChildAt
};

class RegistryTree {
public:
    RegNode& Root(Hive hive) { return roots_[static_cast<int>(hive)]; }
    const RegNode& Root(Hive hive) const { return roots_[static_cast<int>(hive)]; }

    // Paths are names joined by backslashes, relative to the hive.
    const RegNode* Find(Hive hive, std::string_view path) const;
    RegNode* Find(Hive hive, std::string_view path);
    RegNode& Make(Hive hive, std::string_view path);
    void Remove(Hive hive, std::string_view path);

private:
    RegNode roots_[kHiveCount] = {RegNode("HKEY_LOCAL_MACHINE"), RegNode("HKEY_CURRENT_USER")};
};

// Splits a backslash-separated path into its names.
std::vector<std::string_view> SplitPath(std::string_view path);
