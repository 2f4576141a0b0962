#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pass_runner.h"
#include "scan/installer_catalogue.h"
#include "scan/qfe_products.h"

namespace {

using Lines = std::vector<std::string>;

const char kPatchA[] = "{00000000-0000-0000-0000-00000000000A}";
const char kPatchB[] = "{00000000-0000-0000-0000-00000000000B}";
const char kPatchC[] = "{00000000-0000-0000-0000-00000000000C}";

TEST(InstallerCatalogue, EveryInstalledProductByItsDisplayNameInTableOrder)
{
    for (const bool wow64 : {false, true}) {
        FakeMachine machine(wow64);
        // Installed from the last row up, in every context in turn.
        std::uint32_t context = kContextUserManaged;
        for (std::size_t i = std::size(kInstallerCatalogue); i-- > 0;) {
            machine.InstallProduct(kInstallerCatalogue[i].productCode, context);
            context = context == kContextMachine ? kContextUserManaged : context * 2;
        }
        const Inventory inventory = RunPass(ScanInstallerCatalogue, machine);
        ASSERT_EQ(inventory.size(), 57u);
        for (std::size_t i = 0; i < inventory.size(); ++i) {
            EXPECT_EQ(inventory[i].title, kInstallerCatalogue[i].displayName);
            EXPECT_TRUE(inventory[i].details.empty());
        }
        EXPECT_EQ(inventory[53].title, "Kavren Business Analyst Server Data  -  2008");
    }
}

TEST(InstallerCatalogue, OnlyInstalledProductsOnceEach)
{
    FakeMachine machine;
    const InstallerProduct& desktop = kInstallerCatalogue[0];
    const InstallerProduct& fennowick = kInstallerCatalogue[56];
    machine.InstallProduct(fennowick.productCode, kContextUserUnmanaged);
    machine.InstallProduct(fennowick.productCode, kContextMachine);
    machine.ApplyPatch(desktop.productCode, kPatchA, "Patch of a product not installed");
    EXPECT_EQ(Titles(RunPass(ScanInstallerCatalogue, machine)), Lines{"Fennowick 9.3"});
}

TEST(InstallerCatalogue, AppliedPatchesAreTheDetailLines)
{
    FakeMachine machine;
    const InstallerProduct& row = kInstallerCatalogue[31];
    machine.InstallProduct(row.productCode);
    machine.InstallProduct(row.productCode, kContextUserManaged);
    machine.ApplyPatch(row.productCode, kPatchA, "Fix one");
    machine.ApplyPatch(row.productCode, kPatchB, "Per user", kContextUserManaged);
    machine.ApplyPatch(row.productCode, kPatchC, "Fix two");

    const Inventory inventory = RunPass(ScanInstallerCatalogue, machine);
    ASSERT_EQ(inventory.size(), 1u);
    EXPECT_EQ(inventory[0].title, row.displayName);
    EXPECT_EQ(inventory[0].details, (Lines{"Fix one", "Fix two"}));
}

TEST(InstallerCatalogue, NoHotFixLinesAndNoKeyOpened)
{
    // A machine with every hot-fix key there is, in both views.
    FakeMachine machine(true);
    for (const QfeProduct& qfe : kQfeProducts) {
        for (const View view : {View::Bits32, View::Bits64}) {
            for (const char* code : {qfe.code, qfe.oracle10gCode}) {
                if (code[0] != '\0')
                    machine.SetString(std::string("SOFTWARE\\TOLV\\QFE\\") + code + "\\SP0", "Q1",
                                      "Hot fix", view);
            }
        }
    }
    for (const InstallerProduct& row : kInstallerCatalogue)
        machine.InstallProduct(row.productCode);

    const Inventory inventory = RunPass(ScanInstallerCatalogue, machine);
    ASSERT_EQ(inventory.size(), 57u);
    for (const InventoryEntry& entry : inventory)
        EXPECT_TRUE(entry.details.empty()) << entry.title;
    EXPECT_TRUE(machine.opened().empty());
}

}  // namespace
