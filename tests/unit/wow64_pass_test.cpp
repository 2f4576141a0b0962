#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pass_runner.h"
#include "scan/wow64_catalogue.h"

namespace {

using Lines = std::vector<std::string>;

const std::string kLongName(250, 'n');
const std::string kCutTitle = kLongName + " 9.3 ";  // the first 255 of "... 9.3 Service Pack 2"

// Every row of the title table, the release filter and the SDK rule.
struct TitleCase {
    std::size_t row;
    const char* productName;    // nullptr: no value, and so for the others
    const char* realVersion;
    const char* spDisplayName;
    const char* spNumber;
    const char* title;          // nullptr: no entry
};

const TitleCase kTitleCases[] = {
    // "SPDisplayName" present: the whole title.
    {0, "Belsar for Oracle", "9.3", "Belsar for Oracle 9.3 SP2", "2", "Belsar for Oracle 9.3 SP2"},
    {0, "Belsar 9.3 for Oracle", "9.3", "Shown", "2", "Shown"},
    // Absent, and the product name carries its release: the product name.
    {0, "Belsar 9.3 for Oracle", "9.3", nullptr, "2", "Belsar 9.3 for Oracle"},
    {0, "Belsar for Oracle 9.", "9.3", nullptr, nullptr, "Belsar for Oracle 9."},
    // Otherwise the version text and "SPNumber" as stored.
    {0, "Belsar for Oracle", "9.3", nullptr, "2", "Belsar for Oracle 9.3 Service Pack 2"},
    {0, "Belsar for Oracle", "9.3", nullptr, "01", "Belsar for Oracle 9.3 Service Pack 01"},
    {0, "Belsar for Oracle", "9.3", nullptr, nullptr, "Belsar for Oracle 9.3"},
    {1, "Belsar for SQL Server", "9.3", nullptr, nullptr, "Belsar for SQL Server 9.3"},
    // The two SDKs show a "RealVersion" of exactly 9.3 as 9.3.1.
    {2, "Belsar C SDK", "9.3", nullptr, "2", "Belsar C SDK 9.3.1 Service Pack 2"},
    {3, "Belsar Java SDK", "9.3", nullptr, nullptr, "Belsar Java SDK 9.3.1"},
    {3, "Belsar Java SDK", "9.3.1", nullptr, "1", "Belsar Java SDK 9.3.1 Service Pack 1"},
    {2, "Belsar C SDK", "9.30", nullptr, nullptr, "Belsar C SDK 9.30"},
    // The filter: "9.3" anywhere in "RealVersion".
    {0, "Belsar for Oracle", "v9.3b", nullptr, nullptr, "Belsar for Oracle v9.3b"},
    {0, "Belsar for Oracle", "9.2", "Shown", "2", nullptr},
    {0, "Belsar 9.3 for Oracle", "9.4", nullptr, nullptr, nullptr},
    {0, "Belsar for Oracle", "", nullptr, nullptr, nullptr},
    // Longer than the nine characters of a version field: kept whole.
    {2, "Belsar C SDK", "9.3.1.2500 build", nullptr, "3", "Belsar C SDK 9.3.1.2500 build Service Pack 3"},
    // No "RealVersion": no version, nor the space before it.
    {0, "Belsar for Oracle", nullptr, nullptr, "2", "Belsar for Oracle Service Pack 2"},
    {0, "Belsar for Oracle", nullptr, nullptr, nullptr, "Belsar for Oracle"},
    {0, "Belsar for Oracle", nullptr, "Shown", nullptr, "Shown"},
    // No "ProductName": no entry.
    {0, nullptr, "9.3", "Shown", "2", nullptr},
    // A title of more than 255 characters is cut there.
    {0, kLongName.c_str(), "9.3", nullptr, "2", kCutTitle.c_str()},
};

TEST(Wow64Pass, TitleFromTheKeysValues)
{
    for (const TitleCase& c : kTitleCases) {
        const Wow64Product& row = kWow64Catalogue[c.row];
        SCOPED_TRACE(std::string(row.name) + ", " + (c.productName ? c.productName : "(none)") + ", "
                     + (c.realVersion ? c.realVersion : "(none)"));
        FakeMachine machine(true);
        machine.AddKey(row.registryKey, View::Bits64);
        const std::pair<const char*, const char*> values[] = {
            {"ProductName", c.productName}, {"RealVersion", c.realVersion},
            {"SPDisplayName", c.spDisplayName}, {"SPNumber", c.spNumber}};
        for (const auto& [name, text] : values) {
            if (text != nullptr)
                machine.SetString(row.registryKey, name, text, View::Bits64);
        }

        const Inventory inventory = RunPass(ScanWow64Catalogue, machine);
        if (c.title == nullptr) {
            EXPECT_TRUE(inventory.empty());
        } else {
            ASSERT_EQ(inventory.size(), 1u);
            EXPECT_EQ(inventory[0].title, c.title);
            EXPECT_LE(inventory[0].title.size(), 255u);
        }
    }
}

TEST(Wow64Pass, ReadsThe64BitViewAndListsHotFixes)
{
    const char* oracleKey = kWow64Catalogue[0].registryKey;
    const char* cSdkKey = kWow64Catalogue[2].registryKey;
    const char oracleQfe[] = "SOFTWARE\\TOLV\\QFE\\BSROra10g64\\SP2";
    const char cSdkQfe[] = "SOFTWARE\\TOLV\\QFE\\BSRCSDK64\\SP0";
    FakeMachine machine(true);
    // The 32-bit edition, which the release-9.3 pass lists, is not read here.
    machine.SetString(oracleKey, "ProductName", "Belsar for Oracle", View::Bits32);
    machine.SetString(oracleKey, "SPNumber", "1", View::Bits32);
    machine.SetString(oracleKey, "ProductName", "Belsar for Oracle10g", View::Bits64);
    machine.SetString(oracleKey, "RealVersion", "9.3.1", View::Bits64);
    machine.SetString(oracleKey, "SPNumber", "2", View::Bits64);
    machine.SetString(oracleQfe, "Q1", "Fix one", View::Bits64);
    machine.SetString(oracleQfe, "Q2", "Fix two", View::Bits64);
    machine.SetString(oracleQfe, "Q1", "32-bit fix", View::Bits32);
    machine.SetString("SOFTWARE\\TOLV\\QFE\\BSROra10g64\\SP1", "Q1", "Other service pack",
                      View::Bits64);
    machine.SetString(cSdkKey, "ProductName", "Belsar C SDK", View::Bits64);
    machine.AddKey(cSdkQfe, View::Bits64);

    const Inventory inventory = RunPass(ScanWow64Catalogue, machine);
    ASSERT_EQ(inventory.size(), 2u);
    EXPECT_EQ(inventory[0].title, "Belsar for Oracle10g 9.3.1 Service Pack 2");
    EXPECT_EQ(inventory[0].details, (Lines{"Fix one", "Fix two"}));
    EXPECT_EQ(inventory[1].title, "Belsar C SDK");
    EXPECT_TRUE(inventory[1].details.empty());

    // Every key in the 64-bit view. The hot-fix code's service pack is read
    // with KEY_READ; everything else with KEY_QUERY_VALUE.
    EXPECT_EQ(Opened(machine), (std::vector<Open>{
                                   {oracleKey, 0x101, View::Bits64},
                                   {oracleKey, 0x20119, View::Bits64},
                                   {oracleQfe, 0x101, View::Bits64},
                                   {kWow64Catalogue[1].registryKey, 0x101, View::Bits64},
                                   {cSdkKey, 0x101, View::Bits64},
                                   {cSdkKey, 0x20119, View::Bits64},
                                   {cSdkQfe, 0x101, View::Bits64},
                                   {kWow64Catalogue[3].registryKey, 0x101, View::Bits64},
                               }));
}

TEST(Wow64Pass, ThirtyTwoBitWindowsOpensNothing)
{
    FakeMachine machine(false);
    for (const Wow64Product& row : kWow64Catalogue) {
        machine.SetString(row.registryKey, "ProductName", "Belsar");
        machine.SetString(row.registryKey, "RealVersion", "9.3");
    }
    EXPECT_TRUE(RunPass(ScanWow64Catalogue, machine).empty());
    EXPECT_TRUE(machine.opened().empty());
}

}  // namespace
