// Byte-exact text tests and conversions used by the passes.
#pragma once

#include <cstring>

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
