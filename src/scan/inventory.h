// What a scan found: one entry per installed product, in the order found.
#pragma once

#include <string>
#include <vector>

struct InventoryEntry {
    std::string title;
    std::vector<std::string> details;  // applied patches, hot fixes or updates
};

// Entries are only appended, never sorted or merged: two catalogue rows that
// find the same product give two entries.
using Inventory = std::vector<InventoryEntry>;

// The text shown by the tree and written by the report when nothing is found.
constexpr char kNoProductsText[] = "There are no Kavren 9.x products installed.";

void ClearInventory(Inventory& inventory);
