#include "offline/codepage.h"

#include <cctype>

#include "offline/codepage_tables.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsSurrogate(char32_t point)
{
    return point >= 0xD800 && point <= 0xDFFF;
}

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::optional<std::uint32_t> ParseNumber(std::string_view digits)
{
    if (digits.empty() || digits.size() > 5)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return value;
}

}  // namespace

std::optional<CodePage> CodePage::Named(std::string_view name)
{
    std::string lower = Lower(name);
    if (lower == "utf-8" || lower == "utf8" || lower == "65001")
        return CodePage(nullptr);
    for (const std::string_view prefix : {"windows-", "cp"}) {
        if (lower.compare(0, prefix.size(), prefix) == 0) {
            lower.erase(0, prefix.size());
            break;
        }
    }
    const std::optional<std::uint32_t> id = ParseNumber(lower);
    if (!id)
        return std::nullopt;
    for (const CodePageTable& table : kCodePageTables) {
        if (table.id == *id)
            return CodePage(&table);
    }
    return std::nullopt;
}

std::uint32_t CodePage::Id() const
{
    return table_ == nullptr ? 65001 : table_->id;
}

void CodePage::Encode(char32_t point, std::string& out) const
{
    if (table_ == nullptr) {
        AppendUtf8(point, out);
        return;
    }
    if (point < 0x80) {
        out += static_cast<char>(point);
        return;
    }
    if (point != kReplacement) {
        for (std::size_t i = 0; i < 128; ++i) {
            if (table_->upperHalf[i] == point) {
                out += static_cast<char>(0x80 + i);
                return;
            }
        }
    }
    out += '?';
}

char32_t CodePage::DecodeByte(unsigned char byte) const
{
    if (byte < 0x80 || table_ == nullptr)
        return byte < 0x80 ? byte : kReplacement;
    return table_->upperHalf[byte - 0x80];
}

void AppendUtf8(char32_t point, std::string& out)
{
    if (point > 0x10FFFF || IsSurrogate(point))
        point = kReplacement;
    if (point < 0x80) {
        out += static_cast<char>(point);
    } else if (point < 0x800) {
        out += static_cast<char>(0xC0 | (point >> 6));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        out += static_cast<char>(0xE0 | (point >> 12));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (point >> 18));
        out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    }
}

std::optional<char32_t> NextUtf8(std::string_view text, std::size_t* pos)
{
    const std::size_t start = *pos;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(start);
    if (lead < 0x80) {
        *pos = start + 1;
        return lead;
    }
    // The sequence's length, the lead byte's payload and the smallest code
    // point that needs this length (shorter forms are invalid).
    struct Form {
        unsigned char first, last;
        std::size_t length;
        unsigned char payload;
        char32_t minimum;
    };
    static constexpr Form kForms[] = {
        {0xC2, 0xDF, 2, 0x1F, 0x80},
        {0xE0, 0xEF, 3, 0x0F, 0x800},
        {0xF0, 0xF4, 4, 0x07, 0x10000},
    };
    const Form* form = nullptr;
    for (const Form& candidate : kForms) {
        if (lead >= candidate.first && lead <= candidate.last)
            form = &candidate;
    }
    if (form == nullptr)
        return std::nullopt;
    const std::size_t length = form->length;
    const char32_t minimum = form->minimum;
    char32_t point = lead & form->payload;
    if (text.size() - start < length)
        return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(start + i);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        point = (point << 6) | (next & 0x3F);
    }
    if (point < minimum || point > 0x10FFFF || IsSurrogate(point))
        return std::nullopt;
    *pos = start + length;
    return point;
}

std::string AnsiFromUtf16(const unsigned char* bytes, std::size_t size, const CodePage& codePage)
{
    std::string out;
    out.reserve(size / 2);
    const std::size_t units = size / 2;
    for (std::size_t i = 0; i < units; ++i) {
        char32_t point = bytes[2 * i] | (bytes[2 * i + 1] << 8);
        if (point >= 0xD800 && point <= 0xDBFF && i + 1 < units) {
            const char32_t low = bytes[2 * i + 2] | (bytes[2 * i + 3] << 8);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                point = 0x10000 + ((point - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        codePage.Encode(IsSurrogate(point) ? kReplacement : point, out);
    }
    return out;
}

std::string AnsiFromUtf8(std::string_view text, const CodePage& codePage)
{
    if (codePage.IsUtf8())
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::optional<char32_t> point = NextUtf8(text, &pos);
        if (!point)
            ++pos;  // not reached for valid text
        codePage.Encode(point.value_or(kReplacement), out);
    }
    return out;
}

std::string Utf8FromAnsi(std::string_view text, const CodePage& codePage)
{
    if (codePage.IsUtf8())
        return RepairUtf8(text, codePage);
    std::string out;
    out.reserve(text.size());
    for (const char c : text)
        AppendUtf8(codePage.DecodeByte(static_cast<unsigned char>(c)), out);
    return out;
}

std::string RepairUtf8(std::string_view text, const CodePage& codePage)
{
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = pos;
        if (NextUtf8(text, &pos)) {
            out.append(text, start, pos - start);
        } else {
            AppendUtf8(codePage.DecodeByte(static_cast<unsigned char>(text[pos])), out);
            ++pos;
        }
    }
    return out;
}
