#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fake_machine.h"
#include "pass_runner.h"
#include "scan/installer_catalogue.h"
#include "scan/release93_catalogue.h"
#include "scan/release94_keys.h"
#include "scan/scan.h"
#include "scan/wow64_catalogue.h"

namespace {

// Entries stand in pass order, and within a pass in table order, whatever the
// order in which the machine lists them.
TEST(ScanInventory, EntriesInPassOrderThenTableOrder)
{
    FakeMachine machine(true);
    // The 9.4 gateway keys, in the 64-bit view.
    machine.SetString(kBelsarKeys[1].registryKey, "ProductName", "Belsar for Informix 9.4", View::Bits64);
    machine.SetString(kBelsarKeys[0].registryKey, "ProductName", "Belsar for DB2 9.4", View::Bits64);
    // The 9.4 keys.
    machine.SetString(kRelease94Keys[57].registryKey, "ProductName", "Explorer 900 SDK");
    machine.SetString(kRelease94Keys[0].registryKey, "ProductName", "Kavren Desktop 9.4");
    // The installer catalogue.
    machine.InstallProduct(kInstallerCatalogue[56].productCode);
    machine.InstallProduct(kInstallerCatalogue[0].productCode);
    // The 64-bit gateways of release 9.3.
    const char* sqlKey = kWow64Catalogue[1].registryKey;
    machine.SetString(sqlKey, "ProductName", "Belsar for SQL Server", View::Bits64);
    machine.SetString(sqlKey, "RealVersion", "9.3", View::Bits64);
    // Release 9.3, and its 32-bit edition of the same gateway.
    const Release93Product& sql93 = kRelease93Catalogue[27];
    machine.InstallProduct(sql93.productCode);
    machine.SetString(sql93.registryKey, "ProductName", "Belsar for SQL Server");
    machine.SetString(sql93.registryKey, "RealVersion", "9.3");
    const Release93Product& desktop93 = kRelease93Catalogue[0];
    machine.InstallProduct(desktop93.productCode);
    machine.AddKey(desktop93.registryKey);

    Inventory inventory;
    ScanInventory(machine, inventory);
    EXPECT_EQ(machine.openKeys(), 0u);
    EXPECT_EQ(Titles(inventory), (std::vector<std::string>{
                                     "Kavren Desktop 9.3",
                                     "Kavren Belsar for Microsoft SQL Server 9.3",
                                     "Belsar for SQL Server 9.3",
                                     "Kavren Desktop 9.2",
                                     "Fennowick 9.3",
                                     "Kavren Desktop 9.4",
                                     "Explorer 900 SDK",
                                     "Belsar for DB2 9.4",
                                     "Belsar for Informix 9.4",
                                 }));
}

}  // namespace
