#include <gtest/gtest.h>

#include "offline/codepage.h"

namespace {

using namespace std::string_literals;

TEST(CodePage, KnownNames)
{
    const struct {
        const char* name;
        std::uint32_t id;  // 0: unknown
    } cases[] = {
        {"1252", 1252}, {"CP1252", 1252}, {"windows-1250", 1250}, {"874", 874}, {"1258", 1258},
        {"utf-8", 65001}, {"UTF8", 65001}, {"65001", 65001},
        {"932", 0}, {"437", 0}, {"", 0}, {"cp", 0}, {"12520", 0}, {"1252x", 0}, {"-1252", 0},
    };
    for (const auto& c : cases) {
        const std::optional<CodePage> page = CodePage::Named(c.name);
        EXPECT_EQ(page ? page->Id() : 0, c.id) << c.name;
    }
}

// Bytes that begin no valid UTF-8 sequence are read as the code page's.
TEST(CodePage, InvalidUtf8IsReadInTheCodePage)
{
    const CodePage cp1252 = *CodePage::Named("1252");
    const struct {
        std::string text;
        std::string utf8;
    } cases[] = {
        {"caf\xC3\xA9", "caf\xC3\xA9"},
        {"caf\xE9", "caf\xC3\xA9"},                              // a Latin-1 byte
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                        // overlong
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},        // a surrogate
        {"\xE2\x82", "\xC3\xA2\xE2\x80\x9A"},                    // cut short
        {"\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},  // beyond U+10FFFF
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        {"\x81", "\xC2\x81"},                                    // undefined in 1252: as C1
    };
    for (const auto& c : cases)
        EXPECT_EQ(RepairUtf8(c.text, cp1252), c.utf8);
    EXPECT_EQ(RepairUtf8("caf\xE9", *CodePage::Named("utf-8")), "caf\xEF\xBF\xBD");
}

TEST(CodePage, AnsiRoundTripsThroughUnicode)
{
    for (const char* name : {"874", "1250", "1251", "1252", "1253", "1254", "1255", "1256", "1257", "1258"}) {
        const CodePage page = *CodePage::Named(name);
        for (int byte = 0x20; byte < 0x100; ++byte) {
            const std::string ansi(1, static_cast<char>(byte));
            const std::string unicode = Utf8FromAnsi(ansi, page);
            if (unicode == "\xEF\xBF\xBD")
                continue;  // undefined in this code page
            EXPECT_EQ(AnsiFromUtf8(unicode, page), ansi) << name << " byte " << byte;
        }
    }
}

}  // namespace
