#include "report/report.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "fake_machine.h"
#include "scan/release93_catalogue.h"

namespace {

TEST(FormatReport, Bytes)
{
    const struct {
        Inventory inventory;
        const char* bytes;
    } cases[] = {
        {{}, "There are no Kavren 9.x products installed."},
        {{{"Alone", {}}}, "Alone\r\n\r\n"},
        {{{"A", {"a1", "a2"}}, {"B", {"b1", "b2"}}},
         "A\r\n\ta1\r\n\ta2\r\n\r\nB\r\n\tb1\r\n\tb2\r\n\r\n"},
        {{{"100% %s %n", {"%d%%"}}}, "100% %s %n\r\n\t%d%%\r\n\r\n"},
        {{{"Two\nlines", {""}}}, "Two\r\nlines\r\n\t\r\n\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatReport(c.inventory), c.bytes);
}

class WriteReportTest : public testing::Test {
protected:
    void TearDown() override { std::remove(path.c_str()); }
    ReportStatus Write(const std::string& name)
    {
        return WriteReport(machine, inventory, name, [this](const std::string& m) { messages.push_back(m); });
    }
    std::string Read() const
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    FakeMachine machine;
    Inventory inventory{{"Stale", {}}};
    std::vector<std::string> messages;
    std::string path = testing::TempDir() + "mirovant_report_test.txt";
};

TEST_F(WriteReportTest, ScansAndOverwrites)
{
    {
        std::ofstream old(path, std::ios::binary);
        old << "an older, longer report that must go entirely";
    }
    const Release93Product& desktop = kRelease93Catalogue[0];
    machine.InstallProduct(desktop.productCode);
    machine.SetString(desktop.registryKey, "SPNumber", "2");

    EXPECT_EQ(Write(path), ReportStatus::Written);
    EXPECT_EQ(Read(), "Kavren Desktop 9.3.1\r\n\r\n");
    EXPECT_TRUE(messages.empty());
}

TEST_F(WriteReportTest, EmptyMachineWritesTheNoProductsLine)
{
    EXPECT_EQ(Write(path), ReportStatus::Written);
    EXPECT_EQ(Read(), "There are no Kavren 9.x products installed.");
}

TEST_F(WriteReportTest, FileThatCannotBeOpenedIsReportedAndTheScanKept)
{
    const std::string name = testing::TempDir() + "no such folder/report.txt";
    EXPECT_EQ(Write(name), ReportStatus::CouldNotOpen);
    EXPECT_EQ(messages, std::vector<std::string>{"Could not open " + name});
    EXPECT_TRUE(inventory.empty()) << "the fresh scan replaced the stale entry";
}

TEST_F(WriteReportTest, FullDeviceIsReportedAsNotWritten)
{
    inventory.clear();
    const Release93Product& desktop = kRelease93Catalogue[0];
    machine.InstallProduct(desktop.productCode);
    machine.AddKey(desktop.registryKey);
    EXPECT_EQ(Write("/dev/full"), ReportStatus::CouldNotWrite);
    EXPECT_EQ(messages, std::vector<std::string>{"Could not write /dev/full"});
}

}  // namespace
