// Where the family records the hot fixes of a product: one key per product and
// service pack, "SOFTWARE\TOLV\QFE\<hot-fix code>\SP<SPNumber>".
#pragma once

#include <cstdint>
#include <iterator>

#include "scan/query.h"

struct QfeProduct {
    char baseName[100];    // matched whole and case-sensitively
    char code[40];
    char oracle10gCode[40];  // when set: the code for a product name containing "Oracle10g"
    char productKey[128];  // holds "SPNumber"
    std::uint32_t access;  // for the product key
};

// Searched in this order. "Kavren Belsar for PostgreSQ" is spelled as the
// family's 9.4 key is, so the 9.3 gateway ("...PostgreSQL") matches no row.
inline constexpr QfeProduct kQfeProducts[] = {
    {"Kavren Desktop", "Desktop", "",
     "SOFTWARE\\TOLV\\Grelkin\\Desktop\\8.0", kKeyRead},
    {"Ossirend", "Ossirend", "",
     "SOFTWARE\\TOLV\\Ossirend", kKeyRead},
    {"Kavren Engine Runtime", "Engine", "",
     "SOFTWARE\\TOLV\\Kavren Engine Runtime", kKeyRead},
    {"Kavren Server for the Microsoft .NET Framework", "ServerDotNet", "",
     "SOFTWARE\\TOLV\\Kestrova\\Microsoft .NET Framework Edition", kKeyRead},
    {"Kavren Server for the Java Platform", "ServerJava", "",
     "SOFTWARE\\TOLV\\Kestrova\\Java Platform Edition", kKeyRead},
    {"Kavren Vordun", "Vordun", "",
     "SOFTWARE\\TOLV\\Vordun", kKeyRead},
    {"Kavren Belsar for DB2", "BSRDB2", "",
     "SOFTWARE\\TOLV\\Grelkin\\Belsar\\Belsar for DB2", kKeyRead},
    {"Kavren Belsar for DB2 z/OS", "BSRDB2zOS", "",
     "SOFTWARE\\TOLV\\Grelkin\\Belsar\\Belsar for DB2 zOS", kKeyRead},
    {"Kavren Belsar for Informix", "BSRInformix", "",
     "SOFTWARE\\TOLV\\Grelkin\\Belsar\\Belsar for Informix", kKeyRead},
    {"Kavren Belsar for Oracle9i", "BSROra9i", "",
     "SOFTWARE\\TOLV\\Grelkin\\Belsar\\Belsar for Oracle", kKeyRead},
    {"Kavren Belsar for Oracle10g", "BSROra10g", "",
     "SOFTWARE\\TOLV\\Grelkin\\Belsar\\Belsar for Oracle", kKeyRead},
    {"Kavren Belsar for Oracle11g", "BSROra11g", "",
     "SOFTWARE\\TOLV\\Grelkin\\Belsar\\Belsar for Oracle", kKeyRead},
    {"Kavren Belsar for Oracle 64 bit", "BSROra11g64", "BSROra10g64",
     "SOFTWARE\\TOLV\\Grelkin\\Belsar\\Belsar for Oracle", kKeyRead | kKeyWow64_64Key},
    {"Kavren Belsar for PostgreSQ", "BSRPG", "",
     "SOFTWARE\\TOLV\\Grelkin\\Belsar\\Belsar for PostgreSQ", kKeyRead},
    {"Kavren Belsar for Microsoft SQL Server 64 bit", "BSRSQL64", "",
     "SOFTWARE\\TOLV\\Grelkin\\Belsar\\Belsar for SQLServer", kKeyRead | kKeyWow64_64Key},
    {"Kavren Belsar for Microsoft SQL Server", "BSRSQL", "",
     "SOFTWARE\\TOLV\\Grelkin\\Belsar\\Belsar for SQLServer", kKeyRead},
    {"Kavren Belsar C SDK", "BSRCSDK", "",
     "SOFTWARE\\TOLV\\Grelkin\\Belsar\\8.0\\Belsar C SDK", kKeyRead},
    {"Kavren Belsar C SDK 64 bit", "BSRCSDK64", "",
     "SOFTWARE\\TOLV\\Grelkin\\Belsar\\8.0\\Belsar C SDK", kKeyRead | kKeyWow64_64Key},
    {"Kavren Belsar Java SDK", "BSRJavaSDK", "",
     "SOFTWARE\\TOLV\\Grelkin\\Belsar\\8.0\\Belsar Java SDK", kKeyRead},
    {"Kavren Belsar Java SDK 64 bit", "BSRJavaSDK64", "",
     "SOFTWARE\\TOLV\\Grelkin\\Belsar\\8.0\\Belsar Java SDK", kKeyRead | kKeyWow64_64Key},
};

static_assert(std::size(kQfeProducts) == 20, "twenty products record hot fixes");
