#include <gtest/gtest.h>

#include "fake_machine.h"
#include "scan/release93_catalogue.h"
#include "scan/scan.h"

namespace {

const Release93Product& kDesktop = kRelease93Catalogue[0];
const Release93Product& kEvaluation = kRelease93Catalogue[1];
const char kPatchA[] = "{00000000-0000-0000-0000-00000000000A}";
const char kPatchB[] = "{00000000-0000-0000-0000-00000000000B}";
const char kPatchC[] = "{00000000-0000-0000-0000-00000000000C}";

Inventory ScanMachine(const FakeMachine& machine)
{
    Inventory inventory;
    ScanInventory(machine, inventory);
    EXPECT_EQ(machine.openKeys(), 0u) << "every key that opened is closed";
    return inventory;
}

void InstallDesktop(FakeMachine& machine, const char* servicePack)
{
    machine.InstallProduct(kDesktop.productCode);
    machine.SetString(kDesktop.registryKey, "ProductName", "Kavren Desktop");
    if (servicePack != nullptr)
        machine.SetString(kDesktop.registryKey, "SPNumber", servicePack);
}

// Every row of the title table, and the readings of "SPNumber" around it.
struct TitleCase {
    const char* servicePack;  // nullptr: no "SPNumber" value
    const char* patchName;    // nullptr: no applied patch
    const char* title;
};

const TitleCase kTitleCases[] = {
    {nullptr, nullptr, "Kavren Desktop 9.3"},
    {nullptr, "Kavren Desktop 9.3.1", "Kavren Desktop 9.3"},
    {"0", nullptr, "Kavren Desktop 9.3"},
    {"-3", "Some fix", "Kavren Desktop 9.3"},
    {"none", nullptr, "Kavren Desktop 9.3"},
    {"1", nullptr, "Kavren Desktop 9.3 Service Pack 1"},
    {"1", "Some fix", "Kavren Desktop 9.3"},
    {"1", "Kavren Desktop 9.3.1", "Kavren Desktop 9.3"},
    {"2", nullptr, "Kavren Desktop 9.3.1"},
    {"3", nullptr, "Kavren Desktop 9.3.1 Service Pack 1"},
    {" 4x", nullptr, "Kavren Desktop 9.3.1 Service Pack 2"},
    {"+5", nullptr, "Kavren Desktop 9.3.1 Service Pack 3"},
    {"99999999999", nullptr, "Kavren Desktop 9.3.1 Service Pack 2147483645"},
    {"-99999999999", nullptr, "Kavren Desktop 9.3"},
    {"2", "Kavren Desktop 9.3.1", "Kavren Desktop 9.3"},
    {"3", "Kavren Desktop 9.3.1", "Kavren Desktop 9.3"},
    {"2", "Some fix", "Kavren Desktop 9.3.1"},
    {"3", "Some fix", "Kavren Desktop 9.3.1"},
    {"3", "kavren desktop 9.3.1", "Kavren Desktop 9.3.1"},  // case-sensitive
    {"3", "Kavren Desktop 9.3.1 ", "Kavren Desktop 9.3.1"},  // whole name only
};

void PrintTo(const TitleCase& c, std::ostream* os)
{
    *os << "SPNumber " << (c.servicePack ? c.servicePack : "(none)") << ", patch "
        << (c.patchName ? c.patchName : "(none)");
}

class TitleTest : public testing::TestWithParam<TitleCase> {};

TEST_P(TitleTest, FollowsServicePackAndPatches)
{
    const TitleCase& c = GetParam();
    FakeMachine machine;
    InstallDesktop(machine, c.servicePack);
    if (c.patchName != nullptr)
        machine.ApplyPatch(kDesktop.productCode, kPatchA, c.patchName);

    const Inventory inventory = ScanMachine(machine);
    ASSERT_EQ(inventory.size(), 1u);
    EXPECT_EQ(inventory[0].title, c.title);
    if (c.patchName != nullptr) {
        EXPECT_EQ(inventory[0].details, std::vector<std::string>{c.patchName});
    }
}

INSTANTIATE_TEST_SUITE_P(TitleTable, TitleTest, testing::ValuesIn(kTitleCases));

TEST(Release93Pass, ReleasePatchCountsOnlyWhenItsNameReads)
{
    // Applied to a per-user installation, the release patch's name does not
    // read in the per-machine context: it is neither listed nor the release.
    FakeMachine machine;
    InstallDesktop(machine, "3");
    machine.InstallProduct(kDesktop.productCode, kContextUserUnmanaged);
    machine.ApplyPatch(kDesktop.productCode, kPatchA, "Kavren Desktop 9.3.1", kContextUserUnmanaged);

    const Inventory inventory = ScanMachine(machine);
    ASSERT_EQ(inventory.size(), 1u);
    EXPECT_EQ(inventory[0].title, "Kavren Desktop 9.3.1");
    EXPECT_TRUE(inventory[0].details.empty());
}

TEST(Release93Pass, NothingInstalledGivesNothing)
{
    FakeMachine machine;
    machine.SetString(kDesktop.registryKey, "ProductName", "Kavren Desktop");
    EXPECT_TRUE(ScanMachine(machine).empty());
}

TEST(Release93Pass, InstalledProductWithoutItsKeyIsLeftOut)
{
    FakeMachine machine;
    machine.InstallProduct(kDesktop.productCode);
    machine.ApplyPatch(kDesktop.productCode, kPatchA, "Some fix");
    EXPECT_TRUE(ScanMachine(machine).empty());
}

TEST(Release93Pass, FindsProductsInEveryInstallerContext)
{
    for (const std::uint32_t context : {kContextUserManaged, kContextUserUnmanaged, kContextMachine}) {
        FakeMachine machine;
        machine.InstallProduct(kDesktop.productCode, context);
        machine.AddKey(kDesktop.registryKey);
        EXPECT_EQ(ScanMachine(machine).size(), 1u) << "context " << context;
    }
}

TEST(Release93Pass, RowsSharingAKeyGiveTwoEntriesWithTheirOwnPatches)
{
    FakeMachine machine;
    InstallDesktop(machine, "2");
    machine.InstallProduct(kEvaluation.productCode);
    machine.ApplyPatch(kDesktop.productCode, kPatchA, "Desktop fix");
    machine.ApplyPatch(kEvaluation.productCode, kPatchB, "Evaluation fix");

    const Inventory inventory = ScanMachine(machine);
    ASSERT_EQ(inventory.size(), 2u);
    EXPECT_EQ(inventory[0].title, "Kavren Desktop 9.3.1");
    EXPECT_EQ(inventory[0].details, std::vector<std::string>{"Desktop fix"});
    EXPECT_EQ(inventory[1].title, "Kavren Desktop Evaluation Edition 9.3.1");
    EXPECT_EQ(inventory[1].details, std::vector<std::string>{"Evaluation fix"});
}

TEST(Release93Pass, EntriesFollowTableOrder)
{
    FakeMachine machine;
    const Release93Product& last = kRelease93Catalogue[30];
    machine.InstallProduct(last.productCode);
    machine.AddKey(last.registryKey);
    InstallDesktop(machine, nullptr);

    const Inventory inventory = ScanMachine(machine);
    ASSERT_EQ(inventory.size(), 2u);
    EXPECT_EQ(inventory[0].title, "Kavren Desktop 9.3");
    EXPECT_EQ(inventory[1].title, "Kavren Image Server 9.3");
}

TEST(Release93Pass, ReadsEveryRowInTheDefaultViewOnA64BitMachine)
{
    FakeMachine machine(true);
    for (const Release93Product& row : kRelease93Catalogue) {
        machine.InstallProduct(row.productCode);
        machine.AddKey(row.registryKey, View::Bits64);
    }
    // This pass alone: later passes read the 64-bit view on purpose.
    Inventory inventory;
    ScanRelease93Catalogue(Scan{machine, true, inventory});
    EXPECT_TRUE(inventory.empty());
    EXPECT_EQ(machine.openKeys(), 0u);
    for (const OpenedKey& key : machine.opened())
        EXPECT_EQ(key.access & kKeyWow64_64Key, 0u) << key.path;
}

TEST(Release93Pass, AllThirtyOneProductsInstalled)
{
    FakeMachine machine;
    for (const Release93Product& row : kRelease93Catalogue) {
        machine.InstallProduct(row.productCode);
        machine.AddKey(row.registryKey);
    }
    const Inventory inventory = ScanMachine(machine);
    ASSERT_EQ(inventory.size(), 31u);
    for (std::size_t i = 0; i < inventory.size(); ++i)
        EXPECT_EQ(inventory[i].title, std::string(kRelease93Catalogue[i].baseName) + " 9.3");
}

// The patch listing.
class PatchLinesTest : public testing::Test {
protected:
    void SetUp() override { InstallDesktop(machine, "2"); }
    std::vector<std::string> Lines()
    {
        const Inventory inventory = ScanMachine(machine);
        EXPECT_EQ(inventory.size(), 1u);
        return inventory.empty() ? std::vector<std::string>() : inventory[0].details;
    }
    FakeMachine machine;
};

TEST_F(PatchLinesTest, DisplayNamesUpTo127CharactersAreListed)
{
    const std::string fits(127, 'a');
    const std::string tooLong(128, 'b');
    machine.ApplyPatch(kDesktop.productCode, kPatchA, fits);
    machine.ApplyPatch(kDesktop.productCode, kPatchB, tooLong);
    machine.ApplyPatch(kDesktop.productCode, kPatchC, "After");
    EXPECT_EQ(Lines(), (std::vector<std::string>{fits, "After"}));
}

TEST_F(PatchLinesTest, UnreadableNamesAreSkippedAndTheRestListed)
{
    machine.InstallProduct(kDesktop.productCode, kContextUserManaged);
    machine.ApplyPatch(kDesktop.productCode, kPatchA, "Machine one");
    machine.ApplyPatch(kDesktop.productCode, kPatchB, "Per user", kContextUserManaged);
    machine.ApplyPatch(kDesktop.productCode, kPatchC, "Machine two");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Machine one", "Machine two"}));
}

TEST_F(PatchLinesTest, EqualNamesGiveEqualLines)
{
    machine.ApplyPatch(kDesktop.productCode, kPatchA, "Same");
    machine.ApplyPatch(kDesktop.productCode, kPatchB, "Same");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Same", "Same"}));
}

TEST_F(PatchLinesTest, FailedEnumerationEndsTheList)
{
    machine.ApplyPatch(kDesktop.productCode, kPatchA, "First");
    machine.ApplyPatch(kDesktop.productCode, kPatchB, "Second");
    machine.FailPatchEnumeration(kDesktop.productCode, 1);
    EXPECT_EQ(Lines(), std::vector<std::string>{"First"});
}

TEST_F(PatchLinesTest, PatchLinesComeBeforeHotFixLines)
{
    machine.ApplyPatch(kDesktop.productCode, kPatchA, "Patch");
    machine.SetString("SOFTWARE\\TOLV\\QFE\\Desktop\\SP2", "Q1", "Hot fix");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Patch", "Hot fix"}));
}

TEST(ScanInventory, SecondScanReplacesTheFirst)
{
    FakeMachine machine;
    InstallDesktop(machine, "2");
    machine.ApplyPatch(kDesktop.productCode, kPatchA, "Patch");
    Inventory inventory;
    ScanInventory(machine, inventory);
    ScanInventory(machine, inventory);
    ASSERT_EQ(inventory.size(), 1u);
    EXPECT_EQ(inventory[0].details.size(), 1u);
}

}  // namespace
