// The 64-bit editions of the release-9.3 gateways. They register under the
// keys of their 32-bit editions, but in the 64-bit registry view.
#pragma once

#include "scan/table_checks.h"

struct Wow64Product {
    char name[100];         // never shown: the base name for the hot-fix key
    char registryKey[128];  // under HKEY_LOCAL_MACHINE, in the 64-bit view
};

inline constexpr Wow64Product kWow64Catalogue[] = {
    {"Kavren Belsar for Oracle 64 bit", "SOFTWARE\\TOLV\\Grelkin\\Belsar\\Belsar for Oracle"},
    {"Kavren Belsar for Microsoft SQL Server 64 bit", "SOFTWARE\\TOLV\\Grelkin\\Belsar\\Belsar for SQLServer"},
    {"Kavren Belsar C SDK 64 bit", "SOFTWARE\\TOLV\\Grelkin\\Belsar\\8.0\\Belsar C SDK"},
    {"Kavren Belsar Java SDK 64 bit", "SOFTWARE\\TOLV\\Grelkin\\Belsar\\8.0\\Belsar Java SDK"},
};

static_assert(std::size(kWow64Catalogue) == 4, "four gateways have 64-bit editions");
