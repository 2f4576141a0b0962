#include "offline/packed_guid.h"

#include <cctype>

namespace {

// Where each digit of the packed form comes from in the 32 digits of the
// braced form, read without its braces and dashes.
constexpr int kPackOrder[32] = {
    7,  6,  5,  4,  3,  2,  1,  0,   // AABBCCDD reversed
    11, 10, 9,  8,                   // EEFF reversed
    15, 14, 13, 12,                  // GGHH reversed
    17, 16, 19, 18,                  // IIJJ, each byte's digits swapped
    21, 20, 23, 22, 25, 24, 27, 26, 29, 28, 31, 30,
};

bool IsHex(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

char Upper(char c)
{
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

}  // namespace

std::optional<std::string> PackGuid(std::string_view code)
{
    if (code.size() != 38 || code.front() != '{' || code.back() != '}')
        return std::nullopt;
    std::string digits;
    for (std::size_t i = 1; i < 37; ++i) {
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? code[i] != '-' : !IsHex(code[i]))
            return std::nullopt;
        if (!dash)
            digits += Upper(code[i]);
    }
    std::string packed(32, '0');
    for (int i = 0; i < 32; ++i)
        packed[i] = digits[kPackOrder[i]];
    return packed;
}

std::optional<std::string> UnpackGuid(std::string_view packed)
{
    if (packed.size() != 32)
        return std::nullopt;
    std::string digits(32, '0');
    for (int i = 0; i < 32; ++i) {
        if (!IsHex(packed[i]))
            return std::nullopt;
        digits[kPackOrder[i]] = Upper(packed[i]);
    }
    return "{" + digits.substr(0, 8) + "-" + digits.substr(8, 4) + "-" + digits.substr(12, 4) + "-"
           + digits.substr(16, 4) + "-" + digits.substr(20, 12) + "}";
}
