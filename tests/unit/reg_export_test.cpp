#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "export_files.h"
#include "offline/kept_keys.h"

namespace {

using namespace std::string_literals;

constexpr ExportKind kAllKinds[] = {ExportKind::Regedit4, ExportKind::Version5Utf16,
                                    ExportKind::Version5Utf8};
constexpr char kKey[] = "SOFTWARE\\TOLV\\T";
constexpr char kKeyLine[] = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\T]\n";

const RegValue* FindValue(const RegistryTree& tree, const char* path, const char* name)
{
    const RegNode* key = tree.Find(Hive::LocalMachine, path);
    return key == nullptr ? nullptr : key->Value(name);
}

std::vector<std::string> ValueNames(const RegistryTree& tree, const char* path)
{
    std::vector<std::string> names;
    if (const RegNode* key = tree.Find(Hive::LocalMachine, path)) {
        for (const RegValue& value : key->values())
            names.push_back(value.name);
    }
    return names;
}

// Every value syntax, read the same way from every kind of file. Data is what
// the registry's ANSI operations return, in code page 1252.
struct ValueCase {
    const char* line;  // under the kept key; UTF-8
    const char* name;
    std::uint32_t type;
    std::string data;
};

const ValueCase kValueCases[] = {
    {R"("A"="text")", "A", kRegSz, "text\0"s},
    {R"("A"="")", "A", kRegSz, "\0"s},
    {R"(@="default")", "", kRegSz, "default\0"s},
    {R"("A"="a\\b\"c")", "A", kRegSz, "a\\b\"c\0"s},
    {R"("A"="x\ny\r\0z")", "A", kRegSz, "x\ny\r\0z\0"s},  // as Wine writes them
    {"\"A\"=\"caf\xC3\xA9\"", "A", kRegSz, "caf\xE9\0"s},
    {R"("A" = "spaced" ; comment)", "A", kRegSz, "spaced\0"s},
    {R"("Quo\"te\\"="v")", "Quo\"te\\", kRegSz, "v\0"s},
    {R"("A"=dword:0000002a)", "A", kRegDword, "\x2A\0\0\0"s},
    {R"("A"=dword:2A)", "A", kRegDword, "\x2A\0\0\0"s},
    {R"("A"=DWORD:FFFFFFFF)", "A", kRegDword, "\xFF\xFF\xFF\xFF"s},
    {R"("A"=hex:)", "A", kRegBinary, ""},
    {R"("A"=hex:01,02,ff)", "A", kRegBinary, "\x01\x02\xFF"s},
    {R"("A"=hex:1,a)", "A", kRegBinary, "\x01\x0A"s},
    {R"("A"=hex:01,02,)", "A", kRegBinary, "\x01\x02"s},
    {"\"A\"=hex:01,02,\\\n  03,04", "A", kRegBinary, "\x01\x02\x03\x04"s},
    {"\"A\"=hex:01 , 02 ,\\\n\t03 ; end", "A", kRegBinary, "\x01\x02\x03"s},
    {"\"A\"=hex:01,\\\n  02,\\\n  03", "A", kRegBinary, "\x01\x02\x03"s},
    {R"("A"=hex(0):)", "A", 0, ""},
    {R"("A"=hex(b):01,00,00,00,00,00,00,00)", "A", 0xB, "\x01\0\0\0\0\0\0\0"s},
    {R"("A"=hex(100000):aa)", "A", 0x100000, "\xAA"s},
    {R"("A"=hex(4):31,00,00,00)", "A", kRegDword, "1\0\0\0"s},
};

class ValueSyntax : public testing::TestWithParam<ExportKind> {};

TEST_P(ValueSyntax, EverySyntaxGivesItsTypeAndData)
{
    for (const ValueCase& c : kValueCases) {
        RegistryTree tree;
        ReadBytes(MakeExport(GetParam(), kKeyLine + std::string(c.line) + "\n"), tree);
        const RegValue* value = FindValue(tree, kKey, c.name);
        ASSERT_NE(value, nullptr) << c.line;
        EXPECT_EQ(value->type, c.type) << c.line;
        EXPECT_EQ(value->data, c.data) << c.line;
    }
}

TEST_P(ValueSyntax, TextRunsOverLinesWithTheFilesLineEnds)
{
    RegistryTree tree;
    ReadBytes(MakeExport(GetParam(), kKeyLine + "\"A\"=\"one\ntwo\n[three]\"\n\"B\"=\"b\"\n"s), tree);
    const std::string lineEnd = GetParam() == ExportKind::Version5Utf16 ? "\r\n" : "\n";
    ASSERT_NE(FindValue(tree, kKey, "A"), nullptr);
    EXPECT_EQ(FindValue(tree, kKey, "A")->data, "one" + lineEnd + "two" + lineEnd + "[three]\0"s);
    EXPECT_EQ(ValueNames(tree, kKey), (std::vector<std::string>{"A", "B"}));
}

TEST_P(ValueSyntax, ValuesKeepTheirPlaceWhenSetAgain)
{
    RegistryTree tree;
    ReadBytes(MakeExport(GetParam(), kKeyLine
                                         + "\"B\"=\"1\"\n\"a\"=\"2\"\n\"C\"=\"3\"\n"
                                           "\"A\"=\"4\"\n\"C\"=-\n\"C\"=\"5\"\n"s),
              tree);
    EXPECT_EQ(ValueNames(tree, kKey), (std::vector<std::string>{"B", "a", "C"}));
    EXPECT_EQ(FindValue(tree, kKey, "a")->data, "4\0"s);
}

TEST_P(ValueSyntax, KeyDeletionRemovesTheSubtreeAndLaterKeysComeBack)
{
    RegistryTree tree;
    ReadBytes(MakeExport(GetParam(), "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\T\\Sub]\n\"A\"=\"1\"\n"
                                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\U]\n\"A\"=\"1\"\n"
                                     "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\T]\n"
                                     "\"Ignored\"=\"after a deletion\"\n"
                                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\tolv\\u]\n\"B\"=\"2\"\n"),
              tree);
    EXPECT_EQ(tree.Find(Hive::LocalMachine, "SOFTWARE\\TOLV\\T"), nullptr);
    EXPECT_EQ(ValueNames(tree, "SOFTWARE\\TOLV\\U"), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(tree.Find(Hive::LocalMachine, "SOFTWARE\\TOLV\\U")->name(), "U");
}

INSTANTIATE_TEST_SUITE_P(AllKinds, ValueSyntax, testing::ValuesIn(kAllKinds),
                         [](const auto& info) {
                             std::string name = KindName(info.param);
                             name.erase(std::remove_if(name.begin(), name.end(),
                                                       [](char c) { return !std::isalnum(c); }),
                                        name.end());
                             return name;
                         });

// String data in hex(1), hex(2) and hex(7): UTF-16LE in version 5 files,
// which the ANSI operations return converted; ANSI bytes in REGEDIT4 files.
TEST(HexStrings, Version5IsUtf16AndRegedit4IsAnsi)
{
    const struct {
        ExportKind kind;
        const char* line;
        std::uint32_t type;
        std::string data;
    } cases[] = {
        {ExportKind::Version5Utf16, "\"A\"=hex(2):25,00,54,00,00,00", kRegExpandSz, "%T\0"s},
        {ExportKind::Version5Utf8, "\"A\"=hex(7):61,00,00,00,62,00,00,00,00,00", kRegMultiSz,
         "a\0b\0\0"s},
        {ExportKind::Version5Utf16, "\"A\"=hex(1):e9,00,00,01,00,00", kRegSz, "\xE9?\0"s},
        {ExportKind::Version5Utf16, "\"A\"=hex(2):41,00,42", kRegExpandSz, "A"},
        {ExportKind::Version5Utf16, "\"A\"=hex(2):3d,d8,00,de,00,00", kRegExpandSz, "?\0"s},
        {ExportKind::Version5Utf16, "\"A\"=hex:41,00", kRegBinary, "A\0"s},
        {ExportKind::Regedit4, "\"A\"=hex(2):25,54,e9,00", kRegExpandSz, "%T\xE9\0"s},
        {ExportKind::Regedit4, "\"A\"=hex(7):61,00,62,00,00", kRegMultiSz, "a\0b\0\0"s},
    };
    for (const auto& c : cases) {
        RegistryTree tree;
        ReadBytes(MakeExport(c.kind, kKeyLine + std::string(c.line) + "\n"), tree);
        const RegValue* value = FindValue(tree, kKey, "A");
        ASSERT_NE(value, nullptr) << c.line;
        EXPECT_EQ(value->type, c.type) << c.line;
        EXPECT_EQ(value->data, c.data) << c.line;
    }
}

TEST(CodePages, UnicodeTextBecomesTheMachinesAnsiText)
{
    const std::string body = kKeyLine + "\"Caf\xC3\xA9\"=\"\xE2\x82\xAC \xC4\x80 \xF0\x9F\x98\x80\"\n"s;
    const struct {
        const char* codePage;
        std::string data;
        std::string name;
    } cases[] = {
        {"1252", "\x80 ? ?\0"s, "Caf\xC3\xA9"},
        {"1250", "\x80 ? ?\0"s, "Caf\xC3\xA9"},
        {"1251", "\x88 ? ?\0"s, "Caf\xC3\xA9"},
        {"utf-8", "\xE2\x82\xAC \xC4\x80 \xF0\x9F\x98\x80\0"s, "Caf\xC3\xA9"},
    };
    for (const auto& c : cases) {
        RegistryTree tree;
        ReadBytes(MakeExport(ExportKind::Version5Utf16, body), tree, *CodePage::Named(c.codePage));
        const RegNode* key = tree.Find(Hive::LocalMachine, kKey);
        ASSERT_NE(key, nullptr);
        ASSERT_EQ(key->values().size(), 1u);
        EXPECT_EQ(key->values()[0].name, c.name) << c.codePage;  // names stay Unicode
        EXPECT_EQ(key->values()[0].data, c.data) << c.codePage;
    }
}

TEST(CodePages, Regedit4NamesAreReadInTheCodePage)
{
    RegistryTree tree;
    ReadBytes("REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\Caf\xE9]\r\n\"\xC0\"=\"\xE9\"\r\n", tree,
              *CodePage::Named("1252"));
    const RegNode* key = tree.Find(Hive::LocalMachine, "SOFTWARE\\TOLV\\Caf\xC3\xA9");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->values()[0].name, "\xC3\x80");
    EXPECT_EQ(key->values()[0].data, "\xE9\0"s);
}

TEST(CodePages, Version5TextWithInvalidUtf8IsReadAsAnsi)
{
    RegistryTree tree;
    ReadBytes("Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\T]\n"
              "\"A\"=\"caf\xE9\"\n",
              tree);
    EXPECT_EQ(FindValue(tree, kKey, "A")->data, "caf\xE9\0"s);
}

// What the tool keeps: the family's keys in both views and the installer's
// registration; ancestors exist without values; the rest is not read at all.
TEST(KeptKeys, OnlyTheScansSubtreesAreKept)
{
    const struct {
        Hive hive;
        const char* path;
        bool kept;
    } cases[] = {
        {Hive::LocalMachine, "SOFTWARE\\TOLV", true},
        {Hive::LocalMachine, "software\\tolv\\Grelkin\\Desktop\\8.0", true},
        {Hive::LocalMachine, "SOFTWARE\\TOLVX", false},
        {Hive::LocalMachine, "SOFTWARE", false},
        {Hive::LocalMachine, "SOFTWARE\\Wow6432Node", true},
        {Hive::LocalMachine, "SOFTWARE\\Wow6432Node\\Other", false},
        {Hive::LocalMachine, "SOFTWARE\\Wow6432Node\\TOLV\\QFE\\Desktop\\SP2", true},
        {Hive::LocalMachine, "SOFTWARE\\Classes\\Wow6432Node", true},
        {Hive::LocalMachine, "SOFTWARE\\Classes\\Wow6432Node\\CLSID", false},
        {Hive::LocalMachine, "SOFTWARE\\Classes\\Installer\\Products", false},
        {Hive::LocalMachine, "SOFTWARE\\Classes\\Installer\\Products\\3FA3FE8AE3F4F3E5DBA8E30CEB31D599", true},
        {Hive::LocalMachine, "SOFTWARE\\Classes\\Installer\\Products\\P\\SourceList", false},
        {Hive::LocalMachine, "SOFTWARE\\Classes\\Installer\\Products\\P\\Patches", true},
        {Hive::LocalMachine, "SOFTWARE\\Classes\\Installer\\Products\\P\\Patches\\X", true},
        {Hive::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products\\P", true},
        {Hive::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products\\P\\InstallProperties", false},
        {Hive::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products\\P\\Patches\\Q", true},
        {Hive::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Patches\\Q", true},
        {Hive::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Components\\C", false},
        {Hive::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Managed\\S\\Installer\\Products\\P", true},
        {Hive::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Managed\\S\\Installer\\Products\\P\\Patches", true},
        {Hive::CurrentUser, "Software\\Microsoft\\Installer\\Products\\P", true},
        {Hive::CurrentUser, "Software\\Microsoft\\Installer\\Products\\P\\Patches", true},
        {Hive::CurrentUser, "SOFTWARE\\TOLV", false},
        {Hive::LocalMachine, "Software\\Microsoft\\Installer\\Products\\P", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsKeptKey(c.hive, c.path), c.kept) << c.path;
}

TEST(KeptKeys, TheTreeHoldsKeptKeysAndTheirAncestorsOnly)
{
    RegistryTree tree;
    ReadBytes(MakeExport(ExportKind::Version5Utf16,
                         "[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\"Skipped\"=\"1\"\n"
                         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n\"Skipped\"=\"1\"\n"
                         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\T]\n\"A\"=\"kept\"\n"
                         "[HKEY_CLASSES_ROOT\\Installer\\Products\\P]\n\"ProductName\"=\"p\"\n"
                         "[HKEY_CLASSES_ROOT\\Installer\\Products\\P\\SourceList]\n\"S\"=\"1\"\n"
                         "[HKEY_USERS\\S-1-5-21\\Software\\TOLV]\n\"Skipped\"=\"1\"\n"
                         "[HKEY_CURRENT_USER\\Software\\Microsoft\\Installer\\Products\\Q]\n\"N\"=\"q\"\n"),
              tree);
    const RegNode* software = tree.Find(Hive::LocalMachine, "SOFTWARE");
    ASSERT_NE(software, nullptr);
    EXPECT_TRUE(software->values().empty());
    EXPECT_EQ(tree.Find(Hive::LocalMachine, "SOFTWARE\\Other"), nullptr);
    EXPECT_EQ(ValueNames(tree, kKey), std::vector<std::string>{"A"});
    EXPECT_EQ(ValueNames(tree, "SOFTWARE\\Classes\\Installer\\Products\\P"),
              std::vector<std::string>{"ProductName"});
    EXPECT_EQ(tree.Find(Hive::LocalMachine, "SOFTWARE\\Classes\\Installer\\Products\\P\\SourceList"),
              nullptr);
    EXPECT_NE(tree.Find(Hive::CurrentUser, "Software\\Microsoft\\Installer\\Products\\Q"), nullptr);
}

// Lines of keys that are not kept are only split into lines: nothing in them
// is checked, and the line numbers after them stay right.
TEST(SkippedKeys, AreNotCheckedAndKeepTheLineCount)
{
    // U+0A0A and U+010A hold the byte of a line feed; they must not end lines.
    const std::string skipped = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n"
                                "this is no value line \xE0\xA8\x8A \xC4\x8A\n"
                                "\"A\"=hex:zz\n"
                                "x [not a key line\n"
                                + std::string(5000, 'x') + "\n";
    for (const ExportKind kind : kAllKinds) {
        RegistryTree tree;
        const std::string text = skipped + kKeyLine + "\"A\"=\"ok\"\n\"B\"=hex:0g\n";
        try {
            ReadBytes(MakeExport(kind, text), tree);
            ADD_FAILURE() << KindName(kind) << ": no error";
        } catch (const ExportError& error) {
            EXPECT_EQ(error.line(), 10u) << KindName(kind) << ": " << error.what();
        }
    }
}

TEST(SkippedKeys, AKeyLineAfterBlanksStartsTheNextKey)
{
    RegistryTree tree;
    ReadBytes(MakeExport(ExportKind::Version5Utf16,
                         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n  \t[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\T]\n"
                         "\"A\"=\"1\"\n"),
              tree);
    EXPECT_EQ(ValueNames(tree, kKey), std::vector<std::string>{"A"});
}

TEST(SkippedKeys, KeysUnderASkippedKeyAreSkippedAndStillChecked)
{
    const std::string body = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLVX]\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLVX\\A]\n\"X\"=\"1\"\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV]\n\"A\"=\"1\"\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\X]\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\X\\Y]\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Installer\\Products\\P]\n\"B\"=\"2\"\n"
                             "[HKEY_USERS\\S-1-5-18]\n[HKEY_USERS\\S-1-5-18\\X]\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Other]\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\TOLV]\n\"C\"=\"3\"\n";
    for (const ExportKind kind : kAllKinds) {
        RegistryTree tree;
        ReadBytes(MakeExport(kind, body), tree);
        EXPECT_EQ(ValueNames(tree, "SOFTWARE\\TOLV"), std::vector<std::string>{"A"}) << KindName(kind);
        EXPECT_EQ(tree.Find(Hive::LocalMachine, "SOFTWARE\\TOLVX"), nullptr);
        EXPECT_EQ(ValueNames(tree, "SOFTWARE\\Classes\\Installer\\Products\\P"),
                  std::vector<std::string>{"B"});
        EXPECT_EQ(ValueNames(tree, "SOFTWARE\\Wow6432Node\\TOLV"), std::vector<std::string>{"C"});
        try {
            RegistryTree bad;
            ReadBytes(MakeExport(kind, body + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\Z] x\n"), bad);
            ADD_FAILURE() << KindName(kind) << ": no error";
        } catch (const ExportError& error) {
            EXPECT_EQ(error.line(), 17u) << error.what();
        }
    }
}

// Reads with every split of the file into reads, across the reader's buffer.
class TrickleSource : public ByteSource {
public:
    TrickleSource(const std::string& bytes, unsigned seed) : bytes_(bytes), random_(seed) {}
    std::size_t Read(unsigned char* buffer, std::size_t size) override
    {
        std::size_t count = std::min<std::size_t>(size, bytes_.size() - pos_);
        count = std::min<std::size_t>(count, 1 + random_() % 97);
        std::copy_n(bytes_.data() + pos_, count, buffer);
        pos_ += count;
        return count;
    }

private:
    const std::string& bytes_;
    std::size_t pos_ = 0;
    std::mt19937 random_;
};

TEST(Reader, GivesTheSameTreeWhateverTheReadAndBufferSizes)
{
    // Skipped lines, a skipped line longer than the small buffers, a kept
    // value longer than them, and kept values around them.
    std::string body = kKeyLine + "\"First\"=\"1\"\n"s;
    for (int i = 0; i < 300; ++i)
        body += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\K" + std::to_string(i) + "]\n\"V\"=hex:01,02,\\\n  03\n";
    body += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n\"Long\"=\"" + std::string(5000, 'y') + "\"\n";
    body += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\T\\Long]\n\"L\"=\"" + std::string(3000, 'z') + "\"\n";
    body += kKeyLine + "\"Last\"=hex:0a,00\n"s;
    for (const ExportKind kind : kAllKinds) {
        const std::string bytes = MakeExport(kind, body);
        RegistryTree whole;
        ReadBytes(bytes, whole);
        EXPECT_EQ(ValueNames(whole, kKey), (std::vector<std::string>{"First", "Last"})) << KindName(kind);
        ASSERT_NE(FindValue(whole, "SOFTWARE\\TOLV\\T\\Long", "L"), nullptr);
        EXPECT_EQ(FindValue(whole, "SOFTWARE\\TOLV\\T\\Long", "L")->data.size(), 3001u);
        for (const std::size_t bufferBytes : {16, 17, 64, 4096}) {
            RegistryTree trickled;
            TrickleSource source(bytes, static_cast<unsigned>(bufferBytes));
            ReadExport(source, "test.reg", Cp1252(), trickled, bufferBytes);
            EXPECT_EQ(ValueNames(trickled, kKey), ValueNames(whole, kKey)) << KindName(kind);
            ASSERT_NE(FindValue(trickled, "SOFTWARE\\TOLV\\T\\Long", "L"), nullptr);
            EXPECT_EQ(FindValue(trickled, "SOFTWARE\\TOLV\\T\\Long", "L")->data,
                      FindValue(whole, "SOFTWARE\\TOLV\\T\\Long", "L")->data);
        }
    }
}

TEST(Reader, LaterFilesChangeWhatEarlierOnesMade)
{
    RegistryTree tree;
    ReadBytes(MakeExport(ExportKind::Version5Utf16,
                         kKeyLine + "\"A\"=\"1\"\n\"B\"=\"2\"\n"
                                    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\Gone]\n\"C\"=\"3\"\n"s),
              tree, Cp1252(), "one.reg");
    ReadBytes(MakeExport(ExportKind::Regedit4, kKeyLine
                                                   + "\"A\"=-\n\"B\"=\"changed\"\n"
                                                     "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\Gone]\n"s),
              tree, Cp1252(), "two.reg");
    EXPECT_EQ(ValueNames(tree, kKey), std::vector<std::string>{"B"});
    EXPECT_EQ(FindValue(tree, kKey, "B")->data, "changed\0"s);
    EXPECT_EQ(tree.Find(Hive::LocalMachine, "SOFTWARE\\TOLV\\Gone"), nullptr);
}

TEST(Reader, ReadsWhatWineRegExportWrites)
{
    // Taken from `wine reg export HKLM\SOFTWARE` of a 64-bit prefix.
    const std::string wine =
        "\xFF\xFE"
        + Utf16Le("Windows Registry Editor Version 5.00\r\n\r\n"
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\Grelkin\\Desktop\\8.0]\r\n"
                  "@=\"default\"\r\n"
                  "\"Bin\"=hex:01,02,03\r\n"
                  "\"Dw\"=dword:00000031\r\n"
                  "\"Exp\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,00,00\r\n"
                  "\"Multi\"=hex(7):61,00,62,00,00,00,63,00,00,00,00,00\r\n"
                  "\"ProductName\"=\"Kavren Desktop 64\"\r\n"
                  "\"Quote\"=\"a\\\"b\\\\c\"\r\n"
                  "\"SPNumber\"=\"3\"\r\n\r\n"
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wine]\r\n\r\n"
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Cryptography\\OID]\r\n"
                  "\"Dll\"=hex(7):63,00,72,00,79,00,70,00,74,00,6e,00,65,00,74,00,2e,00,64,00,6c,00,\\\r\n"
                  "  6c,00,00,00,00,00\r\n\r\n"
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\TOLV\\Grelkin\\Desktop\\8.0]\r\n"
                  "\"Caf\xC3\xA9\"=\"na\xC3\xAFve\"\r\n"
                  "\"ProductName\"=\"Kavren Desktop\"\r\n"
                  "\"SPNumber\"=\"2\"\r\n\r\n");
    RegistryTree tree;
    ReadBytes(wine, tree);
    const char* key64 = "SOFTWARE\\TOLV\\Grelkin\\Desktop\\8.0";
    EXPECT_EQ(ValueNames(tree, key64), (std::vector<std::string>{"", "Bin", "Dw", "Exp", "Multi",
                                                                 "ProductName", "Quote", "SPNumber"}));
    EXPECT_EQ(FindValue(tree, key64, "Exp")->data, "%TEMP%\0"s);
    EXPECT_EQ(FindValue(tree, key64, "Multi")->data, "ab\0c\0\0"s);
    EXPECT_EQ(FindValue(tree, key64, "Quote")->data, "a\"b\\c\0"s);
    EXPECT_EQ(FindValue(tree, "SOFTWARE\\Wow6432Node\\TOLV\\Grelkin\\Desktop\\8.0", "Caf\xC3\xA9")->data,
              "na\xEFve\0"s);
    EXPECT_NE(tree.Find(Hive::LocalMachine, "SOFTWARE\\Wow6432Node"), nullptr);
}

// Malformed exports: the file, the line and what is wrong.
struct ErrorCase {
    std::string bytes;
    std::uint64_t line;
    const char* message;  // a part of the message
};

std::string V4(const std::string& body)
{
    return MakeExport(ExportKind::Regedit4, body);
}

std::string V5(const std::string& body)
{
    return MakeExport(ExportKind::Version5Utf16, body);
}

TEST(Errors, NameTheFileTheLineAndTheFault)
{
    const std::string key = kKeyLine;
    const ErrorCase cases[] = {
        {"", 1, "empty"},
        {"REGEDIT5\r\n", 1, "not a registry export"},
        {"\x7F" "ELF\x01\x01\x01\0\0\0\0\0"s, 1, "not a registry export"},
        {"\xFE\xFF\0W\0i"s, 1, "big-endian"},
        {"\xFF\xFE\0\0W\0\0\0"s, 1, "UTF-32"},
        {V5(key) + "\x41"s, 4, "middle of a UTF-16 character"},
        {V4("\"A\"=\"1\"\n"), 3, "before the first key"},
        {V4("[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\n"), 3, "closing ']'"},
        {V4("[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV] x\n"), 3, "after the key line"},
        {V4("[HKEY_LOCAL_MACHNE\\SOFTWARE]\n"), 3, "unknown root key \"HKEY_LOCAL_MACHNE\""},
        {V4("[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\\\X]\n"), 3, "empty key name"},
        {V5(key + "A=\"1\"\n"), 4, "a value name in quotes"},
        {V5(key + "\"A\"\"1\"\n"), 4, "expected '='"},
        {V5(key + "\"A=\"1\"\n"), 4, "expected '='"},
        {V5(key + "\"A\n"), 4, "value name without its closing quote"},
        {V5(key + "\"A\"=\"a\\tb\"\n"), 4, "unknown escape \\t"},
        {V5(key + "\"A\"=\"a\\"), 4, "lone backslash"},
        {V5(key + "\"B\"=\"1\"\n\"A\"=\"open\n\n"), 5, "does not end"},
        {V5(key + "\"A\"=\"1\" x\n"), 4, "unexpected text after the value"},
        {V5(key + "\"A\"=dword:\n"), 4, "1 to 8 hex digits"},
        {V5(key + "\"A\"=dword:123456789\n"), 4, "1 to 8 hex digits"},
        {V5(key + "\"A\"=dword:12x\n"), 4, "unexpected text"},
        {V5(key + "\"A\"=word:1\n"), 4, "unknown value data"},
        {V5(key + "\"A\"=hex(:00\n"), 4, "type N of 1 to 8 hex digits"},
        {V5(key + "\"A\"=hex(2:00\n"), 4, "type N of 1 to 8 hex digits"},
        {V5(key + "\"A\"=hex(2)00\n"), 4, "expected ':'"},
        {V5(key + "\"A\"=hex:0g\n"), 4, "expected ',' between hex bytes, found 'g'"},
        {V5(key + "\"A\"=hex:012\n"), 4, "more than two digits"},
        {V5(key + "\"A\"=hex:01 02\n"), 4, "expected ','"},
        {V5(key + "\"A\"=hex:01,,02\n"), 4, "expected a hex byte, found ','"},
        {V5(key + "\"A\"=hex:01,\\\n  02,\\\n  zz\n"), 6, "expected a hex byte, found 'z'"},
        {V5(key + "\"A\"=hex:01,\\\n"), 4, "cut off by the end of the file"},
        {V5(key + "\"A\"=hex:01,\\ x\n"), 4, "unexpected text"},
        {V5(key + "\"A\"=\"\x01\"\x02\n"), 4, "the byte 0x02"},
        {V4(key + "\"A\"=\"" + std::string(9u << 20, 'a') + "\"\n"), 4, "longer than 8 MiB"},
    };
    for (const ErrorCase& c : cases) {
        RegistryTree tree;
        try {
            ReadBytes(c.bytes, tree, Cp1252(), "bad.reg");
            ADD_FAILURE() << "no error; expected: " << c.message;
        } catch (const ExportError& error) {
            EXPECT_EQ(error.file(), "bad.reg");
            EXPECT_EQ(error.line(), c.line) << error.what();
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
            EXPECT_EQ(std::string(error.what()).rfind("bad.reg:" + std::to_string(c.line) + ": ", 0), 0u)
                << error.what();
        }
    }
}

}  // namespace
