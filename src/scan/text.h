// Byte-exact text tests and conversions used by the passes.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

// Case-sensitive substring test anywhere in the text.
inline bool Contains(const char* text, const char* part)
{
    return std::strstr(text, part) != nullptr;
}

inline bool Equals(const char* a, const char* b)
{
    return std::strcmp(a, b) == 0;
}

// The leading decimal integer of the text, as the C library's decimal
// conversion reads it: white space, an optional sign, digits up to the first
// other character; 0 without digits; clamped to the signed 32-bit range.
int LeadingInteger(const char* text);

// "<name> <version>", or the name alone, without the space, when there is no
// version text.
inline std::string WithVersion(const char* name, const std::string& version)
{
    return version.empty() ? std::string(name) : std::string(name) + ' ' + version;
}

// A title holds at most 255 characters; a longer composition is cut there.
constexpr std::size_t kTitleChars = 255;

inline std::string CutTitle(const std::string& title)
{
    return title.substr(0, kTitleChars);
}
