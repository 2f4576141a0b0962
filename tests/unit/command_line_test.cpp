#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* line;
    RunMode mode;
    const char* fileName;  // for Silent
};

const Case kCases[] = {
    {"", RunMode::Interactive, ""},
    {" \t\r\n\v\f ", RunMode::Interactive, ""},
    {"/s", RunMode::Silent, "C:\\Temp\\Mirovant.txt"},
    {"-s", RunMode::Silent, "C:\\Temp\\Mirovant.txt"},
    {"  /s\t ", RunMode::Silent, "C:\\Temp\\Mirovant.txt"},
    {"/s out.txt", RunMode::Silent, "out.txt"},
    {"-s    out.txt  ", RunMode::Silent, "out.txt"},
    {"/s \t out.txt", RunMode::Silent, "out.txt"},
    {"/s C:\\reports\\a.txt", RunMode::Silent, "C:\\reports\\a.txt"},
    {"/s \"my report.txt\"", RunMode::Silent, "\"my report.txt\""},
    {"/s \"a b\" ", RunMode::Silent, "\"a b\""},
    {"/s my report.txt", RunMode::Syntax, ""},
    {"/s \"my report.txt", RunMode::Syntax, ""},
    {"/s my report.txt\"", RunMode::Syntax, ""},
    {"/s out.txt more", RunMode::Syntax, ""},
    {"/x one two", RunMode::Syntax, ""},  // the file part is tested first
    {"out.txt", RunMode::Usage, ""},
    {"/x out.txt", RunMode::Usage, ""},
    {"/S", RunMode::Usage, ""},
    {"-S out.txt", RunMode::Usage, ""},
    {"/silent", RunMode::Silent, "C:\\Temp\\Mirovant.txt"},
    {"reports-s", RunMode::Silent, "C:\\Temp\\Mirovant.txt"},
    {"x/sy rel\\out.txt", RunMode::Silent, "rel\\out.txt"},
    {"/s\tout.txt", RunMode::Silent, "C:\\Temp\\Mirovant.txt"},  // a tab separates nothing
    {"/s\tout.txt x", RunMode::Silent, "x"},
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << '"' << c.line << '"';
}

class CommandLineTest : public testing::TestWithParam<Case> {};

TEST_P(CommandLineTest, ParsesAsTheProgramDoes)
{
    const Case& c = GetParam();
    const CommandLine parsed = ParseCommandLine(c.line, [] { return std::string("C:\\Temp"); });
    EXPECT_EQ(parsed.mode, c.mode) << '"' << c.line << '"';
    if (c.mode == RunMode::Silent) {
        EXPECT_EQ(parsed.fileName, c.fileName) << '"' << c.line << '"';
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLineTest, testing::ValuesIn(kCases));

TEST(CommandLine, ReadsTempOnlyForTheDefaultName)
{
    int reads = 0;
    const TempReader readTemp = [&reads] { ++reads; return std::string("T"); };
    ParseCommandLine("/s out.txt", readTemp);
    ParseCommandLine("", readTemp);
    EXPECT_EQ(reads, 0);
    EXPECT_EQ(ParseCommandLine("/s", readTemp).fileName, "T\\Mirovant.txt");
    EXPECT_EQ(reads, 1);
}

TEST(CommandLine, DefaultNameJoinsTempAsItStands)
{
    EXPECT_EQ(DefaultReportName(""), "\\Mirovant.txt");
    EXPECT_EQ(DefaultReportName("C:\\Temp\\"), "C:\\Temp\\\\Mirovant.txt");
    const std::string longTemp(300, 'x');
    EXPECT_EQ(DefaultReportName(longTemp), longTemp + "\\Mirovant.txt");
}

TEST(CommandLine, MessagesDifferOnlyInTheirFirstWord)
{
    EXPECT_STREQ(kUsageMessage,
                 "Usage: Mirovant931.exe [/s|-s [output file name]]\n"
                 " \t/s, -s\tsilent mode\n"
                 "\t%TEMP%\\mirovant.txt is the default one");
    EXPECT_EQ(std::string(kSyntaxMessage), "Syntax:" + std::string(kUsageMessage).substr(6));
}

}  // namespace
