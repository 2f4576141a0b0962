// The keys this tool keeps from an export: the family's keys in both registry
// views and the Windows Installer registration that the installer queries
// read. Everything else is skipped unread, so memory does not grow with the
// rest of an export.
#pragma once

#include <array>
#include <cstddef>
#include <iterator>
#include <string_view>

#include "offline/registry_tree.h"

struct KeptKey {
    Hive hive;
    char path[96];  // under the hive; "*" stands for any one name
    bool subtree;   // also every key under it; else the key and its values only
};

inline constexpr KeptKey kKeptKeys[] = {
    {Hive::LocalMachine, "SOFTWARE\\TOLV", true},
    {Hive::LocalMachine, "SOFTWARE\\Wow6432Node", false},  // tells a 64-bit machine
    {Hive::LocalMachine, "SOFTWARE\\Wow6432Node\\TOLV", true},
    {Hive::LocalMachine, "SOFTWARE\\Classes\\Installer\\Products\\*", false},
    {Hive::LocalMachine, "SOFTWARE\\Classes\\Installer\\Products\\*\\Patches", true},
    {Hive::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\*\\Products\\*", false},
    {Hive::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\*\\Products\\*\\Patches", true},
    {Hive::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\*\\Patches\\*", false},
    {Hive::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Managed\\*\\Installer\\Products\\*", false},
    {Hive::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Managed\\*\\Installer\\Products\\*\\Patches", true},
    {Hive::CurrentUser, "Software\\Microsoft\\Installer\\Products\\*", false},
    {Hive::CurrentUser, "Software\\Microsoft\\Installer\\Products\\*\\Patches", true},
};

// The rules split into names once, at compile time. Equal names at one depth
// share one view, so that a path's name is compared with each only once.
constexpr std::size_t kMaxKeptDepth = 11;

struct KeptRule {
    Hive hive;
    bool subtree;
    std::size_t depth;
    std::string_view names[kMaxKeptDepth];
};

constexpr auto SplitRules()
{
    std::array<KeptRule, std::size(kKeptKeys)> rules{};
    for (std::size_t r = 0; r < rules.size(); ++r) {
        const KeptKey& key = kKeptKeys[r];
        KeptRule& rule = rules[r];
        rule = {key.hive, key.subtree, 0, {}};
        std::size_t start = 0;
        for (std::size_t i = 0; rule.depth < kMaxKeptDepth; ++i) {
            if (key.path[i] != '\\' && key.path[i] != '\0')
                continue;
            std::string_view name(key.path + start, i - start);
            for (std::size_t other = 0; other < r; ++other) {
                if (rules[other].names[rule.depth] == name)
                    name = rules[other].names[rule.depth];
            }
            rule.names[rule.depth++] = name;
            start = i + 1;
            if (key.path[i] == '\0')
                break;
        }
    }
    return rules;
}

inline constexpr auto kKeptRules = SplitRules();

constexpr bool RulesFit()
{
    for (std::size_t i = 0; i < kKeptRules.size(); ++i) {
        const KeptRule& rule = kKeptRules[i];
        std::size_t length = 0;
        for (std::size_t n = 0; n < rule.depth; ++n)
            length += rule.names[n].size() + 1;
        if (length != std::string_view(kKeptKeys[i].path).size() + 1)
            return false;  // deeper than kMaxKeptDepth
    }
    return true;
}

static_assert(std::size(kKeptKeys) == 12, "the family's keys in two views and the installer's");
static_assert(RulesFit(), "every kept path has at most kMaxKeptDepth names");

// Whether the key at a path under the hive is kept. The path is any sequence
// of code units (bytes of UTF-8 or ANSI text, or UTF-16 units) with size() and
// operator[], its names separated by backslashes. It is split only as far as
// the rules look, since most paths differ from them early.
template <typename Units>
bool IsKeptPath(Hive hive, const Units& path)
{
    std::size_t starts[kMaxKeptDepth + 1];  // where each name starts; then past the last
    std::size_t split = 0;                  // names split so far
    bool ended = false;                     // the path has exactly `split` names
    const auto splitTo = [&](std::size_t depth) {
        std::size_t i = split == 0 ? 0 : starts[split];
        while (split < depth && !ended) {
            starts[split] = i;
            while (i < path.size() && path[i] != '\\')
                ++i;
            ++split;
            ended = i >= path.size();
            starts[split] = ++i;
        }
        return split >= depth;
    };
    const auto fold = [](unsigned c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
    const char* compared[kMaxKeptDepth] = {};
    bool same[kMaxKeptDepth] = {};
    for (const KeptRule& rule : kKeptRules) {
        if (rule.hive != hive)
            continue;
        bool match = true;
        for (std::size_t n = 0; match && n < rule.depth; ++n) {
            const std::string_view want = rule.names[n];
            if (!splitTo(n + 1)) {
                match = false;  // an ancestor of the kept key
            } else if (want == "*") {
            } else if (compared[n] == want.data()) {
                match = same[n];
            } else {
                const std::size_t size = starts[n + 1] - 1 - starts[n];
                match = want.size() == size;
                for (std::size_t i = 0; match && i < size; ++i)
                    match = fold(static_cast<unsigned char>(want[i])) == fold(path[starts[n] + i]);
                compared[n] = want.data();
                same[n] = match;
            }
        }
        if (match && (rule.subtree || (splitTo(rule.depth) && ended && split == rule.depth)))
            return true;
    }
    return false;
}

inline bool IsKeptKey(Hive hive, std::string_view path)
{
    struct Bytes {
        std::string_view text;
        std::size_t size() const { return text.size(); }
        unsigned operator[](std::size_t i) const { return static_cast<unsigned char>(text[i]); }
    };
    return IsKeptPath(hive, Bytes{path});
}
