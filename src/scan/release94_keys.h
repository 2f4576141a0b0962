// The registry keys of the 9.4 line, each holding a product's "ProductName",
// perhaps its "RealVersion" and "Instance", and its "Updates".
#pragma once

#include <cstddef>

#include "scan/table_checks.h"

struct Release94Key {
    char registryKey[128];  // under HKEY_LOCAL_MACHINE
};

// Read in the default view. Product keys come with their language keys in the
// order Chinese, French, German, Japanese, Spanish.
inline constexpr Release94Key kRelease94Keys[] = {
    // Desktop, Ossirend and Engine.
    {"SOFTWARE\\TOLV\\Desktop9.4"},
    {"SOFTWARE\\TOLV\\Desktop9.4\\Chinese"},
    {"SOFTWARE\\TOLV\\Desktop9.4\\French"},
    {"SOFTWARE\\TOLV\\Desktop9.4\\German"},
    {"SOFTWARE\\TOLV\\Desktop9.4\\Japanese"},
    {"SOFTWARE\\TOLV\\Desktop9.4\\Spanish"},
    {"SOFTWARE\\TOLV\\Ossirend9.4"},
    {"SOFTWARE\\TOLV\\Ossirend9.4\\Chinese"},
    {"SOFTWARE\\TOLV\\Ossirend9.4\\French"},
    {"SOFTWARE\\TOLV\\Ossirend9.4\\German"},
    {"SOFTWARE\\TOLV\\Ossirend9.4\\Japanese"},
    {"SOFTWARE\\TOLV\\Ossirend9.4\\Spanish"},
    {"SOFTWARE\\TOLV\\Engine9.4"},
    {"SOFTWARE\\TOLV\\Engine9.4\\Chinese"},
    {"SOFTWARE\\TOLV\\Engine9.4\\French"},
    {"SOFTWARE\\TOLV\\Engine9.4\\German"},
    {"SOFTWARE\\TOLV\\Engine9.4\\Japanese"},
    {"SOFTWARE\\TOLV\\Engine9.4\\Spanish"},
    // Server for .NET: GIS Services and Web Applications, plain and numbered.
    {"SOFTWARE\\TOLV\\Server9.4\\Microsoft .NET Framework Edition\\Kavren Server 9.4 - GIS Services"},
    {"SOFTWARE\\TOLV\\Server9.4\\Microsoft .NET Framework Edition\\Kavren Server 9.4 - GIS Services1"},
    {"SOFTWARE\\TOLV\\Server9.4\\Microsoft .NET Framework Edition\\Kavren Server 9.4 - GIS Services2"},
    {"SOFTWARE\\TOLV\\Server9.4\\Microsoft .NET Framework Edition\\Kavren Server 9.4 - GIS Services3"},
    {"SOFTWARE\\TOLV\\Server9.4\\Microsoft .NET Framework Edition\\Kavren Server 9.4 - GIS Services4"},
    {"SOFTWARE\\TOLV\\Server9.4\\Microsoft .NET Framework Edition\\Kavren Server 9.4 - GIS Services5"},
    {"SOFTWARE\\TOLV\\Server9.4\\Microsoft .NET Framework Edition\\Kavren Server 9.4 - Web Applications"},
    {"SOFTWARE\\TOLV\\Server9.4\\Microsoft .NET Framework Edition\\Kavren Server 9.4 - Web Applications1"},
    {"SOFTWARE\\TOLV\\Server9.4\\Microsoft .NET Framework Edition\\Kavren Server 9.4 - Web Applications2"},
    {"SOFTWARE\\TOLV\\Server9.4\\Microsoft .NET Framework Edition\\Kavren Server 9.4 - Web Applications3"},
    {"SOFTWARE\\TOLV\\Server9.4\\Microsoft .NET Framework Edition\\Kavren Server 9.4 - Web Applications4"},
    {"SOFTWARE\\TOLV\\Server9.4\\Microsoft .NET Framework Edition\\Kavren Server 9.4 - Web Applications5"},
    {"SOFTWARE\\TOLV\\Server9.4\\Microsoft .NET Framework Edition\\Kavren Server 9.4 - Web ADF Runtime"},
    // Server for Java.
    {"SOFTWARE\\TOLV\\Server9.4\\Java Platform Edition"},
    {"SOFTWARE\\TOLV\\Server9.4\\Java Platform Edition\\Chinese"},
    {"SOFTWARE\\TOLV\\Server9.4\\Java Platform Edition\\French"},
    {"SOFTWARE\\TOLV\\Server9.4\\Java Platform Edition\\German"},
    {"SOFTWARE\\TOLV\\Server9.4\\Java Platform Edition\\Japanese"},
    {"SOFTWARE\\TOLV\\Server9.4\\Java Platform Edition\\Spanish"},
    // Further products and developer kits.
    {"SOFTWARE\\TOLV\\Vordun"},
    {"SOFTWARE\\TOLV\\Image Server 9.4"},
    {"SOFTWARE\\TOLV\\Server9.4\\Vordun Microsoft .NET Framework Edition"},
    {"SOFTWARE\\TOLV\\Server9.4\\Vordun Java Platform Edition"},
    {"SOFTWARE\\TOLV\\QuillmarkSdk9.4\\.NET"},
    {"SOFTWARE\\TOLV\\QuillmarkSdk9.4\\Java"},
    {"SOFTWARE\\TOLV\\QuillmarkSdk9.4\\CPP"},
    {"SOFTWARE\\TOLV\\QuillmarkSdk9.4\\VBA"},
    {"SOFTWARE\\TOLV\\Kavren License Manager 9.4"},
    // The gateways. "PostgreSQ" is how the 9.4 line spells that key.
    {"SOFTWARE\\TOLV\\Grelkin\\Belsar\\Belsar for DB2"},
    {"SOFTWARE\\TOLV\\Grelkin\\Belsar\\Belsar for DB2 zOS"},
    {"SOFTWARE\\TOLV\\Grelkin\\Belsar\\Belsar for Informix"},
    {"SOFTWARE\\TOLV\\Grelkin\\Belsar\\Belsar for Oracle"},
    {"SOFTWARE\\TOLV\\Grelkin\\Belsar\\Belsar for PostgreSQ"},
    {"SOFTWARE\\TOLV\\Grelkin\\Belsar\\Belsar for SQLServer"},
    {"SOFTWARE\\TOLV\\Grelkin\\Belsar\\8.0\\Belsar C SDK"},
    {"SOFTWARE\\TOLV\\Grelkin\\Belsar\\8.0\\Belsar Java SDK"},
    // Further products. Registry paths match without regard to case, so
    // "Software" opens as "SOFTWARE" does.
    {"Software\\TOLV\\Kavren Pre 9.4 GDB Direct Connect"},
    {"SOFTWARE\\TOLV\\Mobile9.4"},
    {"SOFTWARE\\TOLV\\Explorer900"},
    {"SOFTWARE\\TOLV\\Kavren Explorer 900 SDK for the Microsoft .NET Framework"},
};

// The gateway keys that a 64-bit edition holds in the 64-bit view.
inline constexpr Release94Key kBelsarKeys[] = {
    {"SOFTWARE\\TOLV\\Grelkin\\Belsar\\Belsar for DB2"},
    {"SOFTWARE\\TOLV\\Grelkin\\Belsar\\Belsar for Informix"},
    {"SOFTWARE\\TOLV\\Grelkin\\Belsar\\Belsar for Oracle"},
    {"SOFTWARE\\TOLV\\Grelkin\\Belsar\\Belsar for SQLServer"},
    {"SOFTWARE\\TOLV\\Grelkin\\Belsar\\8.0\\Belsar C SDK"},
    {"SOFTWARE\\TOLV\\Grelkin\\Belsar\\8.0\\Belsar Java SDK"},
};

static_assert(std::size(kRelease94Keys) == 58, "the 9.4 line has 58 keys");
static_assert(std::size(kBelsarKeys) == 6, "the 9.4 line has 6 64-bit gateway keys");

// Each 64-bit gateway key is one of the gateway keys read in the default view.
constexpr bool BelsarKeysAreGatewayKeys()
{
    constexpr std::size_t rows[] = {46, 48, 49, 51, 52, 53};
    for (std::size_t i = 0; i < std::size(kBelsarKeys); ++i) {
        if (!SameText(kBelsarKeys[i].registryKey, kRelease94Keys[rows[i]].registryKey))
            return false;
    }
    return true;
}
static_assert(BelsarKeysAreGatewayKeys(), "64-bit gateway keys are rows 46, 48, 49, 51 to 53");
