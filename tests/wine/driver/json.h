// A small JSON writer for the driver's results: objects built field by field.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

// Text as a JSON string; bytes above 0x7E are read as Latin-1.
inline std::string Quote(const std::string& text)
{
    std::string out = "\"";
    for (const unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// Json().Add("a", 1).Add("b", "x").Text() gives {"a":1,"b":"x"}.
class Json {
public:
    Json& Raw(const char* name, const std::string& json)
    {
        text_ += (text_.empty() ? "{" : ",") + Quote(name) + ":" + json;
        return *this;
    }
    Json& Add(const char* name, const std::string& value) { return Raw(name, Quote(value)); }
    Json& Add(const char* name, const char* value) { return Raw(name, Quote(value)); }
    Json& Add(const char* name, bool value) { return Raw(name, value ? "true" : "false"); }
    Json& Add(const char* name, long long value) { return Raw(name, std::to_string(value)); }
    Json& Add(const char* name, int value) { return Add(name, static_cast<long long>(value)); }
    Json& Add(const char* name, unsigned value) { return Add(name, static_cast<long long>(value)); }
    Json& Add(const char* name, long value) { return Add(name, static_cast<long long>(value)); }
    Json& Add(const char* name, unsigned long value) { return Add(name, static_cast<long long>(value)); }
    std::string Text() const { return text_.empty() ? "{}" : text_ + "}"; }

private:
    std::string text_;
};

inline std::string Array(const std::vector<std::string>& items)
{
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i)
        out += (i ? "," : "") + items[i];
    return out + "]";
}

inline std::string Numbers(std::initializer_list<long long> values)
{
    std::vector<std::string> items;
    for (const long long v : values)
        items.push_back(std::to_string(v));
    return Array(items);
}
