// The ANSI code page of the exported machine: the registry holds text as
// UTF-16, and its ANSI operations hand it to a program in this code page.
//
// Characters the code page lacks become '?'. (Windows may pick a look-alike,
// "best fit", instead; this tool never guesses.) The UTF-8 code page stands for
// a machine whose ANSI code page is UTF-8 (65001).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct CodePageTable;

class CodePage {
public:
    // "1252", "cp1252", "windows-1252", "utf-8", "utf8" or "65001"; none for
    // a code page this tool does not know.
    static std::optional<CodePage> Named(std::string_view name);

    bool IsUtf8() const { return table_ == nullptr; }
    std::uint32_t Id() const;

    // Appends the code page's bytes for one code point.
    void Encode(char32_t point, std::string& out) const;

    // The code point of one byte of text in this code page (not for UTF-8).
    char32_t DecodeByte(unsigned char byte) const;

private:
    explicit CodePage(const CodePageTable* table) : table_(table) {}

    const CodePageTable* table_;  // null: UTF-8
};

// A UTF-16LE byte sequence (an odd last byte is ignored) as ANSI bytes, unit
// by unit, so embedded zeros stay where they are.
std::string AnsiFromUtf16(const unsigned char* bytes, std::size_t size, const CodePage& codePage);

// Valid UTF-8 text as ANSI bytes.
std::string AnsiFromUtf8(std::string_view text, const CodePage& codePage);

// ANSI bytes as UTF-8 text. For the UTF-8 code page, invalid sequences become
// U+FFFD.
std::string Utf8FromAnsi(std::string_view text, const CodePage& codePage);

// Text that should be UTF-8, made valid: a byte that starts no valid sequence
// is read as a byte of the code page (or as U+FFFD for the UTF-8 code page).
std::string RepairUtf8(std::string_view text, const CodePage& codePage);

void AppendUtf8(char32_t point, std::string& out);

// Decodes the sequence at text[*pos]: its code point, with *pos past it; or
// none, with *pos unchanged, when no valid sequence starts there.
std::optional<char32_t> NextUtf8(std::string_view text, std::size_t* pos);
