// The keys this tool keeps from an export: the family's keys in both registry
// views and the Windows Installer registration that the installer queries
// read. Everything else is skipped unread, so memory does not grow with the
// rest of an export.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
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
    {Hive::LocalMachine, "SOFTWARE\\Classes\\Wow6432Node", false},  // 64-bit, in either view
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

static_assert(std::size(kKeptKeys) == 13, "the family's keys in two views and the installer's");
static_assert(RulesFit(), "every kept path has at most kMaxKeptDepth names");

// Whether the key at a path under the hive is kept. The path is any sequence
// of code units (bytes of UTF-8 or ANSI text, or UTF-16 units) with size() and
// operator[], its names separated by backslashes. The path is walked once,
// name by name, against the rules still matching; most paths leave them all
// within the first two names. *settled, when given, becomes the end of the
// names that decided a "no" whatever follows them, or npos.
template <typename Units>
bool IsKeptPath(Hive hive, const Units& path, std::size_t* settled = nullptr)
{
    if (settled != nullptr)
        *settled = static_cast<std::size_t>(-1);
    static_assert(std::size(kKeptKeys) <= 32, "rules are tracked in a 32-bit mask");
    const auto fold = [](unsigned c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
    std::uint32_t alive = 0;
    for (std::size_t r = 0; r < kKeptRules.size(); ++r)
        alive |= kKeptRules[r].hive == hive ? 1u << r : 0;

    std::size_t start = 0;  // where the name at `depth` begins
    for (std::size_t depth = 0; alive != 0; ++depth) {
        std::size_t end = start;  // the end of the name, found when a rule needs it
        bool endKnown = false;
        const auto findEnd = [&](std::size_t from) {
            if (!endKnown) {
                for (end = from; end < path.size() && path[end] != '\\';)
                    ++end;
                endKnown = true;
            }
        };
        const char* comparedName = nullptr;  // equal names share one view
        bool comparedSame = false;
        bool anySame = false;
        std::uint32_t next = 0;
        for (std::size_t r = 0; r < kKeptRules.size(); ++r) {
            if (!(alive & (1u << r)))
                continue;
            const KeptRule& rule = kKeptRules[r];
            const std::string_view want = rule.names[depth];
            bool same = true;
            if (want == "*") {
                findEnd(start);
            } else if (want.data() == comparedName) {
                same = comparedSame;
            } else {
                std::size_t i = 0;
                while (i < want.size() && start + i < path.size()
                       && fold(static_cast<unsigned char>(want[i])) == fold(path[start + i]))
                    ++i;
                same = i == want.size();
                if (same) {
                    findEnd(start + i);
                    same = end == start + i;
                }
                comparedName = want.data();
                comparedSame = same;
            }
            if (!same)
                continue;
            anySame = true;
            const bool last = end >= path.size();
            if (depth + 1 == rule.depth) {
                if (last || rule.subtree)
                    return true;
            } else if (!last) {
                next |= 1u << r;  // an ancestor of the kept key is not kept
            }
        }
        if (next == 0 && !anySame && settled != nullptr) {
            findEnd(start);
            *settled = end;  // no rule has this name here
        }
        alive = next;
        start = end + 1;
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
