// Registry export files for the tests, written from UTF-8 text in the three
// forms that exports come in.
#pragma once

#include <string>
#include <string_view>

#include "offline/codepage.h"
#include "offline/reg_export.h"

enum class ExportKind {
    Regedit4,       // "REGEDIT4", ANSI (code page 1252), LF line ends
    Version5Utf16,  // as regedit and reg export write it: UTF-16LE, BOM, CR LF
    Version5Utf8,   // as other tools write it: UTF-8 without BOM, LF
};

inline const char* KindName(ExportKind kind)
{
    switch (kind) {
    case ExportKind::Regedit4:
        return "REGEDIT4";
    case ExportKind::Version5Utf16:
        return "v5 UTF-16";
    case ExportKind::Version5Utf8:
        return "v5 UTF-8";
    }
    return "?";
}

inline const CodePage& Cp1252()
{
    static const CodePage page = *CodePage::Named("1252");
    return page;
}

inline std::string Utf16Le(std::string_view utf8)
{
    std::string out;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t point = NextUtf8(utf8, &pos).value_or(U'?');
        const auto unit = [&out](char32_t u) {
            out += static_cast<char>(u & 0xFF);
            out += static_cast<char>(u >> 8);
        };
        if (point >= 0x10000) {
            point -= 0x10000;
            unit(0xD800 + (point >> 10));
            unit(0xDC00 + (point & 0x3FF));
        } else {
            unit(point);
        }
    }
    return out;
}

// The file's bytes: its header line, a blank line, then the body, whose "\n"
// become the kind's line ends.
inline std::string MakeExport(ExportKind kind, std::string_view body)
{
    const std::string header = kind == ExportKind::Regedit4 ? "REGEDIT4\n\n"
                                                            : "Windows Registry Editor Version 5.00\n\n";
    const std::string text = header + std::string(body);
    switch (kind) {
    case ExportKind::Regedit4:
        return AnsiFromUtf8(text, Cp1252());
    case ExportKind::Version5Utf8:
        return text;
    case ExportKind::Version5Utf16: {
        std::string crlf;
        for (const char c : text) {
            if (c == '\n')
                crlf += '\r';
            crlf += c;
        }
        return "\xFF\xFE" + Utf16Le(crlf);
    }
    }
    return text;
}

inline void ReadBytes(const std::string& bytes, RegistryTree& tree,
                      const CodePage& codePage = Cp1252(), const std::string& name = "test.reg")
{
    MemorySource source(bytes.data(), bytes.size());
    ReadExport(source, name, codePage, tree);
}
