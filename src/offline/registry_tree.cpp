#include "offline/registry_tree.h"

std::string FoldName(std::string_view name)
{
    // Upper case, as the registry sorts subkeys: "A_" after "AB".
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 'a' + 'A');
        if (x != y)
            return false;
    }
    return true;
}

const RegNode* RegNode::Child(std::string_view name) const
{
    const auto found = children_.find(FoldName(name));
    return found == children_.end() ? nullptr : found->second.get();
}

RegNode* RegNode::Child(std::string_view name)
{
    const auto found = children_.find(FoldName(name));
    return found == children_.end() ? nullptr : found->second.get();
}

RegNode& RegNode::MakeChild(std::string_view name)
{
    std::unique_ptr<RegNode>& child = children_[FoldName(name)];
    if (!child) {
        child = std::make_unique<RegNode>(std::string(name));
        order_.clear();
    }
    return *child;
}

void RegNode::RemoveChild(std::string_view name)
{
    if (children_.erase(FoldName(name)) != 0)
        order_.clear();
}

const RegNode& RegNode::ChildAt(std::size_t index) const
{
    if (order_.size() != children_.size()) {
        order_.clear();
        for (const auto& child : children_)
            order_.push_back(child.second.get());
    }
    return *order_.at(index);
}

const RegValue* RegNode::Value(std::string_view name) const
{
    for (const RegValue& value : values_) {
        if (SameName(value.name, name))
            return &value;
    }
    return nullptr;
}

void RegNode::SetValue(std::string_view name, std::uint32_t type, std::string data)
{
    for (RegValue& value : values_) {
        if (SameName(value.name, name)) {
            value.type = type;
            value.data = std::move(data);
            return;
        }
    }
    values_.push_back({std::string(name), type, std::move(data)});
}

void RegNode::RemoveValue(std::string_view name)
{
    for (auto it = values_.begin(); it != values_.end(); ++it) {
        if (SameName(it->name, name)) {
            values_.erase(it);
            return;
        }
    }
}

std::vector<std::string_view> SplitPath(std::string_view path)
{
    std::vector<std::string_view> names;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = path.find('\\', start);
        const std::size_t end = slash == std::string_view::npos ? path.size() : slash;
        names.push_back(path.substr(start, end - start));
        if (slash == std::string_view::npos)
            break;
        start = slash + 1;
    }
    return names;
}

namespace {

template <typename Node>
Node* Walk(Node* node, std::string_view path)
{
    if (path.empty())
        return node;
    for (const std::string_view name : SplitPath(path)) {
        node = node->Child(name);
        if (node == nullptr)
            return nullptr;
    }
    return node;
}

}  // namespace

const RegNode* RegistryTree::Find(Hive hive, std::string_view path) const
{
    return Walk(&Root(hive), path);
}

RegNode* RegistryTree::Find(Hive hive, std::string_view path)
{
    return Walk(&Root(hive), path);
}

RegNode& RegistryTree::Make(Hive hive, std::string_view path)
{
    RegNode* node = &Root(hive);
    if (path.empty())
        return *node;
    for (const std::string_view name : SplitPath(path))
        node = &node->MakeChild(name);
    return *node;
}

void RegistryTree::Remove(Hive hive, std::string_view path)
{
    const std::size_t slash = path.rfind('\\');
    const std::string_view parentPath = slash == std::string_view::npos ? "" : path.substr(0, slash);
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (RegNode* parent = Find(hive, parentPath); parent != nullptr && !path.empty())
        parent->RemoveChild(name);
}
