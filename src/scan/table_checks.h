// Compile-time checks shared by the catalogue tables. Field widths need none:
// a literal that does not fit its char array with its zero does not compile.
#pragma once

#include <cstddef>
#include <iterator>

constexpr bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
constexpr bool IsBracedGuid(const char (&code)[39])
{
    for (std::size_t i = 0; i < 38; ++i) {
        const char c = code[i];
        const bool ok = i == 0    ? c == '{'
                        : i == 37 ? c == '}'
                        : (i == 9 || i == 14 || i == 19 || i == 24) ? c == '-'
                                                                   : IsHexDigit(c);
        if (!ok)
            return false;
    }
    return code[38] == '\0';
}

// Byte-exact equality of two zero-terminated fields of one width.
template <std::size_t N>
constexpr bool SameText(const char (&a)[N], const char (&b)[N])
{
    for (std::size_t i = 0; i < N; ++i) {
        if (a[i] != b[i])
            return false;
        if (a[i] == '\0')
            return true;
    }
    return true;
}

template <typename Row, std::size_t N>
constexpr bool AllProductCodesAreGuids(const Row (&rows)[N])
{
    for (const Row& row : rows) {
        if (!IsBracedGuid(row.productCode))
            return false;
    }
    return true;
}
