// Runs one scan pass over a FakeMachine, as ScanInventory would.
#pragma once

#include <algorithm>
#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fake_machine.h"
#include "scan/scan.h"

// The pass sees the machine's WOW64 flag. Every key it opened must be closed.
inline Inventory RunPass(void (*pass)(const Scan&), const FakeMachine& machine)
{
    Inventory inventory;
    pass(Scan{machine, machine.IsWow64Process(), inventory});
    EXPECT_EQ(machine.openKeys(), 0u) << "every key that opened is closed";
    return inventory;
}

inline std::vector<std::string> Titles(const Inventory& inventory)
{
    std::vector<std::string> titles;
    for (const InventoryEntry& entry : inventory)
        titles.push_back(entry.title);
    return titles;
}

// A key the scan tried to open. Paths compare as the registry compares them,
// without regard to case.
struct Open {
    std::string path;
    std::uint32_t access;
    View view;
    bool operator==(const Open& other) const
    {
        return access == other.access && view == other.view && path.size() == other.path.size()
               && std::equal(path.begin(), path.end(), other.path.begin(), [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a))
                             == std::tolower(static_cast<unsigned char>(b));
                  });
    }
};

inline void PrintTo(const Open& open, std::ostream* os)
{
    *os << open.path << " 0x" << std::hex << open.access << std::dec
        << (open.view == View::Bits64 ? " 64-bit" : " 32-bit");
}

inline std::vector<Open> Opened(const FakeMachine& machine)
{
    std::vector<Open> opened;
    for (const OpenedKey& key : machine.opened())
        opened.push_back({key.path, key.access, key.view});
    return opened;
}
