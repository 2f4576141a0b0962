#include <gtest/gtest.h>

#include "fake_machine.h"
#include "scan/scan.h"

namespace {

const char kDesktopKey[] = "SOFTWARE\\TOLV\\Grelkin\\Desktop\\8.0";
const char kOracleKey[] = "SOFTWARE\\TOLV\\Grelkin\\Belsar\\Belsar for Oracle";

struct ResolveCase {
    const char* baseName;
    const char* productName;
    const char* expected;  // nullptr: no key
};

class ResolveQfeKeyTest : public testing::Test {
protected:
    const char* Resolve(const char* baseName, const char* productName = "")
    {
        const bool found = ResolveQfeKey(machine, baseName, productName, path);
        EXPECT_EQ(machine.openKeys(), 0u);
        return found ? path : nullptr;
    }
    FakeMachine machine{true};
    char path[kQfeKeyPathSize] = "untouched";
};

TEST_F(ResolveQfeKeyTest, MatchesWholeNamesOnly)
{
    machine.SetString(kDesktopKey, "SPNumber", "2");
    const ResolveCase cases[] = {
        {"Kavren Desktop", "", "SOFTWARE\\TOLV\\QFE\\Desktop\\SP2"},
        {"Kavren Desktop 9.2", "", nullptr},
        {"kavren desktop", "", nullptr},
        {"Kavren Desktop ", "", nullptr},
        {"Kavren", "", nullptr},
        {"Kavren Belsar for PostgreSQL", "", nullptr},
        {"Kavren Belsar for PostgreSQ", "", "SOFTWARE\\TOLV\\QFE\\BSRPG\\SP0"},
        {"Kavren Belsar for Microsoft SQL Server 64 bit", "", "SOFTWARE\\TOLV\\QFE\\BSRSQL64\\SP0"},
        {"Kavren Belsar for Microsoft SQL Server", "", "SOFTWARE\\TOLV\\QFE\\BSRSQL\\SP0"},
        {"Ossirend", "", "SOFTWARE\\TOLV\\QFE\\Ossirend\\SP0"},
        {"Kavren Belsar for Oracle10g", "Oracle11g", "SOFTWARE\\TOLV\\QFE\\BSROra10g\\SP0"},
        {"Kavren Belsar for Oracle 64 bit", "Belsar for Oracle10g 64", "SOFTWARE\\TOLV\\QFE\\BSROra10g64\\SP0"},
        {"Kavren Belsar for Oracle 64 bit", "Belsar for oracle10g", "SOFTWARE\\TOLV\\QFE\\BSROra11g64\\SP0"},
        {"Kavren Belsar for Oracle 64 bit", "", "SOFTWARE\\TOLV\\QFE\\BSROra11g64\\SP0"},
    };
    for (const ResolveCase& c : cases) {
        const char* got = Resolve(c.baseName, c.productName);
        if (c.expected == nullptr)
            EXPECT_EQ(got, nullptr) << c.baseName;
        else
            EXPECT_STREQ(got, c.expected) << c.baseName;
    }
}

TEST_F(ResolveQfeKeyTest, ServicePackTextIsUsedAsStored)
{
    const struct {
        const char* stored;  // nullptr: no value
        const char* expected;
    } cases[] = {
        {nullptr, "SOFTWARE\\TOLV\\QFE\\Desktop\\SP0"},
        {"01", "SOFTWARE\\TOLV\\QFE\\Desktop\\SP01"},
        {"", "SOFTWARE\\TOLV\\QFE\\Desktop\\SP"},
        {" 2 ", "SOFTWARE\\TOLV\\QFE\\Desktop\\SP 2 "},
        {"123456789", "SOFTWARE\\TOLV\\QFE\\Desktop\\SP123456789"},
        {"1234567890", "SOFTWARE\\TOLV\\QFE\\Desktop\\SP0"},  // does not fit: not a cut number
    };
    for (const auto& c : cases) {
        FakeMachine one;
        one.AddKey(kDesktopKey);
        if (c.stored != nullptr)
            one.SetString(kDesktopKey, "SPNumber", c.stored);
        char keyPath[kQfeKeyPathSize];
        ASSERT_TRUE(ResolveQfeKey(one, "Kavren Desktop", "", keyPath));
        EXPECT_STREQ(keyPath, c.expected) << (c.stored ? c.stored : "(none)");
    }
}

TEST_F(ResolveQfeKeyTest, MissingProductKeyGivesServicePackZero)
{
    EXPECT_STREQ(Resolve("Kavren Desktop"), "SOFTWARE\\TOLV\\QFE\\Desktop\\SP0");
}

TEST_F(ResolveQfeKeyTest, SixtyFourBitRowsReadTheSixtyFourBitView)
{
    machine.SetString(kOracleKey, "SPNumber", "3", View::Bits32);
    machine.SetString(kOracleKey, "SPNumber", "5", View::Bits64);
    EXPECT_STREQ(Resolve("Kavren Belsar for Oracle 64 bit", "Oracle10g"),
                 "SOFTWARE\\TOLV\\QFE\\BSROra10g64\\SP5");
    EXPECT_STREQ(Resolve("Kavren Belsar for Oracle9i"), "SOFTWARE\\TOLV\\QFE\\BSROra9i\\SP3");
    ASSERT_EQ(machine.opened().size(), 2u);
    EXPECT_EQ(machine.opened()[0].access, 0x20119u);
    EXPECT_EQ(machine.opened()[1].access, 0x20019u);
}

// The hot-fix listing.
class HotFixLinesTest : public testing::Test {
protected:
    std::vector<std::string> Lines(std::uint32_t access = kKeyQueryValue)
    {
        InventoryEntry entry{"Title", {"Earlier line"}};
        AppendHotFixLines(machine, entry, kQfeKey, access);
        EXPECT_EQ(machine.openKeys(), 0u);
        EXPECT_EQ(entry.details.front(), "Earlier line");
        return std::vector<std::string>(entry.details.begin() + 1, entry.details.end());
    }
    static constexpr char kQfeKey[] = "SOFTWARE\\TOLV\\QFE\\Desktop\\SP2";
    FakeMachine machine{true};
};

TEST_F(HotFixLinesTest, OneLinePerValueInValueOrder)
{
    machine.SetString(kQfeKey, "Q300", "Third fix");
    machine.SetString(kQfeKey, "Q100", "");
    machine.SetString(kQfeKey, "", "Default value");
    machine.SetString(kQfeKey, "Q200", "Third fix");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Third fix", "", "Default value", "Third fix"}));
}

TEST_F(HotFixLinesTest, AValueThatFailsToEnumerateIsSkipped)
{
    machine.SetString(kQfeKey, "Q1", "Before");
    machine.SetString(kQfeKey, std::string(256, 'n'), "Long name");
    machine.SetString(kQfeKey, "Q2", std::string(256, 'd'));  // 257 bytes with its zero
    machine.SetString(kQfeKey, "Q3", std::string(255, 'e'));
    machine.SetBytes(kQfeKey, "Q4", std::string(256, 'f'));  // fills the buffer, no zero
    machine.SetString(kQfeKey, "Q5", "After");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Before", std::string(255, 'e'), "After"}));
}

TEST_F(HotFixLinesTest, NoKeyNoValuesOrNoInformationAddNothing)
{
    EXPECT_TRUE(Lines().empty());
    machine.AddKey(kQfeKey);
    EXPECT_TRUE(Lines().empty());
    machine.SetString(kQfeKey, "Q1", "Fix");
    machine.FailQueryInfo(kQfeKey);
    EXPECT_TRUE(Lines().empty());
}

TEST_F(HotFixLinesTest, OpensTheKeyWithTheCallersMask)
{
    machine.SetString(kQfeKey, "Q1", "32-bit fix", View::Bits32);
    machine.SetString(kQfeKey, "Q1", "64-bit fix", View::Bits64);
    EXPECT_EQ(Lines(kKeyQueryValue), std::vector<std::string>{"32-bit fix"});
    EXPECT_EQ(Lines(kKeyQueryValue | kKeyWow64_64Key), std::vector<std::string>{"64-bit fix"});
}

}  // namespace
