#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pass_runner.h"
#include "scan/release94_keys.h"

namespace {

using Lines = std::vector<std::string>;

const char* const kDesktopKey = kRelease94Keys[0].registryKey;
const char* const kDb2Key = kBelsarKeys[0].registryKey;

struct TitleCase {
    const char* productName;  // nullptr: no value, and so for the others
    const char* instance;
    const char* realVersion;
    const char* title;        // nullptr: no entry
};

std::string Describe(const TitleCase& c)
{
    const auto text = [](const char* value) { return value ? '"' + std::string(value) + '"' : "(none)"; };
    return text(c.productName) + ", " + text(c.instance) + ", " + text(c.realVersion);
}

// Makes the product key in the view and runs the pass: the titles it gives.
Lines Titled(void (*pass)(const Scan&), const char* key, View view, const TitleCase& c)
{
    FakeMachine machine(true);
    machine.AddKey(key, view);
    const std::pair<const char*, const char*> values[] = {
        {"ProductName", c.productName}, {"Instance", c.instance}, {"RealVersion", c.realVersion}};
    for (const auto& [name, text] : values) {
        if (text != nullptr)
            machine.SetString(key, name, text, view);
    }
    return Titles(RunPass(pass, machine));
}

// Every row of the title table, the instance rule, the release test and the
// "Kavren Explorer" rule.
const TitleCase kRelease94Cases[] = {
    // The product name carries the release: it is the title, "RealVersion" unread.
    {"Kavren Desktop 9.4", nullptr, nullptr, "Kavren Desktop 9.4"},
    {"Kavren Desktop 9.4", "Main", "9.3", "Kavren Desktop 9.4"},
    {"Kavren Explorer 900", nullptr, "9.3", "Kavren Explorer 900"},
    {"Kavren Desktop 9.40", nullptr, nullptr, "Kavren Desktop 9.40"},
    // The instance rule: a numbered name loses its last character only.
    {"Kavren Server 9.4 - GIS Services3", "Main", nullptr, "Kavren Server 9.4 - GIS Services Instance: Main"},
    {"Kavren Server 9.4 - GIS Services3", nullptr, nullptr, "Kavren Server 9.4 - GIS Services"},
    {"Kavren Server 9.4 - GIS Services", "Main", nullptr, "Kavren Server 9.4 - GIS Services"},
    {"Kavren Server 9.4 - Web Applications12", "Two", nullptr, "Kavren Server 9.4 - Web Applications1 Instance: Two"},
    {"Kavren Server 9.4 - Web Applications", "Two", nullptr, "Kavren Server 9.4 - Web Applications"},
    {"Kavren Server 9.4 - gis services3", "Main", nullptr, "Kavren Server 9.4 - gis services3"},
    {"Kavren Server 9.4", "Main", nullptr, "Kavren Server 9.4"},
    // No release in the name: "RealVersion" decides, with "9.4" anywhere.
    {"Kavren Desktop", nullptr, "9.4.0.1500", "Kavren Desktop 9.4"},
    {"Kavren Desktop", nullptr, "9.4", "Kavren Desktop 9.4"},
    {"Kavren Desktop", nullptr, "9.4 Beta", "Kavren Desktop 9.4 Beta"},
    {"Kavren Desktop", nullptr, "19.4", "Kavren Desktop 19.4"},
    {"Kavren Desktop", nullptr, "Build 9.4.2", "Kavren Desktop 9.4"},
    {"Kavren Desktop", nullptr, "9.3.1", nullptr},
    {"Kavren Desktop", nullptr, "9,4", nullptr},
    {"Kavren Desktop", nullptr, "", nullptr},
    {"Kavren Desktop", nullptr, nullptr, "Kavren Desktop"},
    {"Kavren Desktop 9.3", nullptr, "9.3", nullptr},
    // ... and the full product name replaces an instance title.
    {"Kavren Server - GIS Services2", "Main", "9.4.1", "Kavren Server - GIS Services2 9.4"},
    {"Kavren Server - GIS Services2", "Main", nullptr, "Kavren Server - GIS Services2"},
    {"Kavren Server - GIS Services2", "Main", "9.3", nullptr},
    // "Kavren Explorer" names its 9.4 release 900.
    {"Kavren Explorer", nullptr, "9.4.2", "Kavren Explorer 900"},
    {"Kavren Explorer", nullptr, "9.4", "Kavren Explorer 900"},
    {"Kavren Explorer", nullptr, "9.40", "Kavren Explorer 9.40"},
    {"Kavren Explorer", nullptr, "9.4 Beta", "Kavren Explorer 9.4 Beta"},
    {"Kavren Explorer", nullptr, nullptr, "Kavren Explorer"},
    {"Kavren Explorer ", nullptr, "9.4", "Kavren Explorer  9.4"},
    {"kavren explorer", nullptr, "9.4", "kavren explorer 9.4"},
    // No "ProductName": no entry.
    {nullptr, "Main", "9.4", nullptr},
};

TEST(Release94Keys, TitleFromTheKeysValues)
{
    for (const TitleCase& c : kRelease94Cases) {
        SCOPED_TRACE(Describe(c));
        const Lines titles = Titled(ScanRelease94Keys, kDesktopKey, View::Bits32, c);
        EXPECT_EQ(titles, c.title ? Lines{c.title} : Lines{});
    }
}

// The gateway keys in the 64-bit view: no instance rule, "900" in the name is
// no release, no "Kavren Explorer" rule, and a long version is kept whole.
const TitleCase kBelsarCases[] = {
    {"Kavren Belsar for DB2 9.4", nullptr, "9.3", "Kavren Belsar for DB2 9.4"},
    {"Kavren Belsar for DB2", nullptr, "9.4.3", "Kavren Belsar for DB2 9.4"},
    {"Kavren Belsar for DB2", nullptr, "9.4 Beta", "Kavren Belsar for DB2 9.4 Beta"},
    {"Kavren Belsar for DB2", nullptr, "9.4 Beta 12345", "Kavren Belsar for DB2 9.4 Beta 12345"},
    {"Kavren Belsar for DB2", nullptr, "9.3", nullptr},
    {"Kavren Belsar for DB2", nullptr, nullptr, "Kavren Belsar for DB2"},
    {"Kavren Belsar 900", nullptr, "9.3", nullptr},
    {"Kavren Belsar 900", nullptr, "9.4.1", "Kavren Belsar 900 9.4"},
    {"Kavren Belsar 900", nullptr, nullptr, "Kavren Belsar 900"},
    {"Kavren Belsar 9.4 - GIS Services3", "Main", nullptr, "Kavren Belsar 9.4 - GIS Services3"},
    {"Kavren Explorer", nullptr, "9.4", "Kavren Explorer 9.4"},
    {nullptr, nullptr, "9.4", nullptr},
};

TEST(BelsarKeys, TitleFromTheKeysValues)
{
    for (const TitleCase& c : kBelsarCases) {
        SCOPED_TRACE(Describe(c));
        const Lines titles = Titled(ScanBelsarKeys, kDb2Key, View::Bits64, c);
        EXPECT_EQ(titles, c.title ? Lines{c.title} : Lines{});
    }
}

TEST(Release94Keys, LongTitlesAreCutTo255Characters)
{
    const std::string padding(220, 'n');
    const struct {
        std::string productName;
        const char* instance;
        const char* realVersion;
        std::string uncut;
    } cases[] = {
        {"Kavren Server 9.4 - GIS Services" + padding + "1", "Main", nullptr,
         "Kavren Server 9.4 - GIS Services" + padding + " Instance: Main"},
        {"Kavren Desktop" + padding + "nnnnnnnnnnnnnnnnnnn", nullptr, "9.4.1",
         "Kavren Desktop" + padding + "nnnnnnnnnnnnnnnnnnn 9.4"},
    };
    for (const auto& c : cases) {
        ASSERT_GT(c.uncut.size(), 255u);
        const TitleCase titleCase{c.productName.c_str(), c.instance, c.realVersion, nullptr};
        EXPECT_EQ(Titled(ScanRelease94Keys, kDesktopKey, View::Bits32, titleCase),
                  Lines{c.uncut.substr(0, 255)});
    }
}

// The update listing.
class UpdateLinesTest : public testing::Test {
protected:
    void SetUp() override { machine.SetString(kDesktopKey, "ProductName", "Kavren Desktop 9.4"); }
    void AddUpdate(const std::string& subkey, const char* name)
    {
        const std::string path = std::string(kDesktopKey) + "\\Updates\\" + subkey;
        machine.AddKey(path);
        if (name != nullptr)
            machine.SetString(path, "Name", name);
    }
    Lines Details()
    {
        const Inventory inventory = RunPass(ScanRelease94Keys, machine);
        EXPECT_EQ(Titles(inventory), Lines{"Kavren Desktop 9.4"});
        return inventory.empty() ? Lines{} : inventory[0].details;
    }
    FakeMachine machine;
};

TEST_F(UpdateLinesTest, OneLinePerSubkeyWithAName)
{
    AddUpdate("KB3", "Update three");
    AddUpdate("KB1", nullptr);
    AddUpdate("KB2", "Update two");
    AddUpdate("KB4", "");
    AddUpdate("KB5", "Update two");
    AddUpdate("KB6", std::string(256, 'x').c_str());  // does not fit with its zero
    AddUpdate("KB7", "Last");
    EXPECT_EQ(Details(), (Lines{"Update three", "Update two", "", "Update two", "Last"}));
}

TEST_F(UpdateLinesTest, AFailedEnumerationEndsTheList)
{
    AddUpdate("KB1", "First");
    AddUpdate(std::string(256, 'k'), "Name too long to enumerate");
    AddUpdate("KB3", "Not reached");
    EXPECT_EQ(Details(), Lines{"First"});
}

TEST_F(UpdateLinesTest, NoUpdatesOrNoneInThem)
{
    EXPECT_EQ(Details(), Lines{});
    machine.AddKey(std::string(kDesktopKey) + "\\Updates");
    EXPECT_EQ(Details(), Lines{});
}

// A 9.4 product with one update in each view, each named by its view.
void AddProductInBothViews(FakeMachine& machine, const char* key)
{
    for (const View view : {View::Bits32, View::Bits64}) {
        const std::string bits = view == View::Bits64 ? "64" : "32";
        machine.SetString(key, "ProductName", "Gateway 9.4 " + bits, view);
        machine.SetString(std::string(key) + "\\Updates\\U1", "Name", "Update " + bits, view);
    }
}

TEST(Release94Passes, EachReadsItsOwnView)
{
    const struct {
        void (*pass)(const Scan&);
        const Release94Key* keys;
        std::size_t count;
        std::uint32_t access;  // for the product key
        View view;
        const char* bits;
    } cases[] = {
        {ScanRelease94Keys, kRelease94Keys, std::size(kRelease94Keys), 0x1, View::Bits32, "32"},
        {ScanBelsarKeys, kBelsarKeys, std::size(kBelsarKeys), 0x101, View::Bits64, "64"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bits);
        FakeMachine machine(true);
        std::vector<Open> expected;
        for (std::size_t i = 0; i < c.count; ++i) {
            const char* key = c.keys[i].registryKey;
            AddProductInBothViews(machine, key);
            const std::string updates = std::string(key) + "\\Updates";
            expected.push_back({key, c.access, c.view});
            expected.push_back({updates, 0x20019, c.view});
            expected.push_back({updates + "\\U1", 0x20019, c.view});
        }
        const Inventory inventory = RunPass(c.pass, machine);
        ASSERT_EQ(inventory.size(), c.count);
        for (const InventoryEntry& entry : inventory) {
            EXPECT_EQ(entry.title, "Gateway 9.4 " + std::string(c.bits));
            EXPECT_EQ(entry.details, Lines{"Update " + std::string(c.bits)});
        }
        EXPECT_EQ(Opened(machine), expected);
    }
}

TEST(BelsarKeys, ThirtyTwoBitWindowsReadsTheGatewaysInItsOnlyView)
{
    FakeMachine machine(false);
    for (std::size_t i = 46; i <= 53; ++i)
        machine.SetString(kRelease94Keys[i].registryKey, "ProductName", "Gateway 9.4 #" + std::to_string(i));
    Inventory inventory;
    ScanInventory(machine, inventory);
    EXPECT_EQ(machine.openKeys(), 0u);
    EXPECT_EQ(Titles(inventory), (Lines{"Gateway 9.4 #46", "Gateway 9.4 #47", "Gateway 9.4 #48",
                                        "Gateway 9.4 #49", "Gateway 9.4 #50", "Gateway 9.4 #51",
                                        "Gateway 9.4 #52", "Gateway 9.4 #53"}));
    for (const OpenedKey& key : machine.opened())
        EXPECT_EQ(key.access & kKeyWow64_64Key, 0u) << key.path;
}

TEST(BelsarKeys, GatewayInBothViewsGivesTwoEntriesInPassOrder)
{
    FakeMachine machine(true);
    AddProductInBothViews(machine, kDb2Key);
    Inventory inventory;
    ScanInventory(machine, inventory);
    EXPECT_EQ(machine.openKeys(), 0u);
    EXPECT_EQ(Titles(inventory), (Lines{"Gateway 9.4 32", "Gateway 9.4 64"}));
}

TEST(BelsarKeys, GatewayOfRelease93GivesNoEntry)
{
    FakeMachine machine(true);
    for (const View view : {View::Bits32, View::Bits64}) {
        machine.SetString(kDb2Key, "ProductName", "Kavren Belsar for DB2", view);
        machine.SetString(kDb2Key, "RealVersion", "9.3", view);
    }
    EXPECT_TRUE(RunPass(ScanRelease94Keys, machine).empty());
    EXPECT_TRUE(RunPass(ScanBelsarKeys, machine).empty());
}

}  // namespace
