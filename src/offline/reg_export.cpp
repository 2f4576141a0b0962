#include "offline/reg_export.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>

#include "offline/kept_keys.h"
#include "offline/line_reader.h"

ExportError::ExportError(const std::string& file, std::uint64_t line, const std::string& message)
    : std::runtime_error(file + ":" + std::to_string(line) + ": " + message), file_(file), line_(line)
{
}

std::size_t FileSource::Read(unsigned char* buffer, std::size_t size)
{
    const std::size_t got = std::fread(buffer, 1, size, file_);
    if (got == 0 && std::ferror(file_))
        throw std::runtime_error(name_ + ": " + std::strerror(errno));
    return got;
}

std::size_t MemorySource::Read(unsigned char* buffer, std::size_t size)
{
    const std::size_t count = std::min(size, size_ - pos_);
    if (count > 0)
        std::memcpy(buffer, data_ + pos_, count);
    pos_ += count;
    return count;
}

namespace {

constexpr std::string_view kVersion5Header = "Windows Registry Editor Version 5.00";
constexpr std::string_view kVersion4Header = "REGEDIT4";

struct RootKey {
    char name[24];
    bool kept;
    Hive hive;
    char prefix[20];  // where the root's keys lie in the hive
};

// HKEY_CLASSES_ROOT is read as the machine's classes.
constexpr RootKey kRootKeys[] = {
    {"HKEY_LOCAL_MACHINE", true, Hive::LocalMachine, ""},
    {"HKLM", true, Hive::LocalMachine, ""},
    {"HKEY_CURRENT_USER", true, Hive::CurrentUser, ""},
    {"HKCU", true, Hive::CurrentUser, ""},
    {"HKEY_CLASSES_ROOT", true, Hive::LocalMachine, "SOFTWARE\\Classes"},
    {"HKCR", true, Hive::LocalMachine, "SOFTWARE\\Classes"},
    {"HKEY_USERS", false, Hive::LocalMachine, ""},
    {"HKU", false, Hive::LocalMachine, ""},
    {"HKEY_CURRENT_CONFIG", false, Hive::LocalMachine, ""},
    {"HKCC", false, Hive::LocalMachine, ""},
    {"HKEY_PERFORMANCE_DATA", false, Hive::LocalMachine, ""},
    {"HKEY_DYN_DATA", false, Hive::LocalMachine, ""},
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::size_t SkipBlanks(std::string_view text, std::size_t pos)
{
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    return pos;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool StartsWithNoCase(std::string_view text, std::size_t pos, std::string_view word)
{
    return text.size() - pos >= word.size() && SameName(text.substr(pos, word.size()), word);
}

// How a character looks in a message: printable ASCII as is, others by code.
std::string Shown(std::string_view text, std::size_t pos)
{
    if (pos >= text.size())
        return "the end of the line";
    const unsigned char c = static_cast<unsigned char>(text[pos]);
    if (c >= 0x20 && c < 0x7F)
        return std::string("'") + static_cast<char>(c) + "'";
    char code[8];
    std::snprintf(code, sizeof code, "0x%02X", c);
    return std::string("the byte ") + code;
}

bool IsStringType(std::uint32_t type)
{
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

void Utf8FromUtf16(const std::string& units, std::string& out)
{
    out.clear();
    const auto unit = [&](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(units[2 * i])
                                     | (static_cast<unsigned char>(units[2 * i + 1]) << 8));
    };
    const std::size_t count = units.size() / 2;
    for (std::size_t i = 0; i < count; ++i) {
        char32_t point = unit(i);
        if (point < 0x80) {
            out += static_cast<char>(point);
            continue;
        }
        if (point >= 0xD800 && point <= 0xDBFF && i + 1 < count && unit(i + 1) >= 0xDC00
            && unit(i + 1) <= 0xDFFF) {
            point = 0x10000 + ((point - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
            ++i;
        }
        AppendUtf8(point, out);  // a lone surrogate becomes U+FFFD
    }
}

bool IsAscii(std::string_view text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// Code units of a raw line as they lie in the file: bytes, or UTF-16LE units.
template <std::size_t Width>
struct RawUnits {
    const unsigned char* bytes;
    std::size_t count;
    std::size_t size() const { return count; }
    unsigned operator[](std::size_t i) const
    {
        return Width == 1 ? bytes[i] : bytes[2 * i] | (bytes[2 * i + 1] << 8);
    }
    RawUnits Sub(std::size_t start, std::size_t length) const
    {
        return {bytes + start * Width, length};
    }
};

// Whether the units begin with the ASCII text, byte for byte.
template <std::size_t Width>
bool SpelledAs(const RawUnits<Width>& units, std::string_view text)
{
    if (Width == 1)
        return std::memcmp(units.bytes, text.data(), text.size()) == 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (units.bytes[2 * i] != static_cast<unsigned char>(text[i]) || units.bytes[2 * i + 1] != 0)
            return false;
    }
    return true;
}

// Whether a raw line is a plain key line ("[root\\path]") of a key that is not
// kept, so that it can be passed over without decoding it. Anything else goes
// the full way, which also reports what is wrong. *settled becomes the length
// of the line's start that decided, when the line begins with '[' and the
// keys under that start are not kept either; else npos.
template <std::size_t Width>
bool IsSkippedKeyLine(const RawUnits<Width>& line, std::size_t* settled)
{
    constexpr std::size_t npos = static_cast<std::size_t>(-1);
    *settled = npos;
    const auto blank = [](unsigned c) { return c == ' ' || c == '\t' || c == '\r'; };
    std::size_t begin = 0;
    std::size_t end = line.size();
    while (begin < end && blank(line[begin]))
        ++begin;
    while (end > begin && blank(line[end - 1]))
        --end;
    if (end - begin < 2 || line[begin] != '[' || line[end - 1] != ']' || line[begin + 1] == '-')
        return false;
    const std::size_t pathStart = begin + 1;
    const RawUnits<Width> path = line.Sub(pathStart, end - begin - 2);
    const auto skipUnder = [&](Hive hive, std::size_t offset) {
        std::size_t decided = npos;
        const bool kept = IsKeptPath(hive, path.Sub(offset, path.size() - offset), &decided);
        if (!kept && decided != npos && begin == 0)
            *settled = pathStart + offset + decided;
        return !kept;
    };
    // Exports spell the machine's root this way; other spellings take the loop.
    constexpr std::string_view kMachine = "HKEY_LOCAL_MACHINE\\";
    if (path.size() > kMachine.size() && SpelledAs(path, kMachine))
        return skipUnder(Hive::LocalMachine, kMachine.size());
    std::size_t slash = 0;
    while (slash < path.size() && path[slash] != '\\')
        ++slash;
    for (const RootKey& root : kRootKeys) {
        const std::string_view name = root.name;
        bool same = name.size() == slash;
        for (std::size_t i = 0; same && i < slash; ++i) {
            const unsigned c = path[i];
            same = static_cast<unsigned>(name[i]) == (c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        }
        if (!same)
            continue;
        if (slash == path.size())
            return true;
        if (!root.kept) {
            *settled = begin == 0 ? pathStart + slash : npos;
            return true;
        }
        return root.prefix[0] == '\0' && skipUnder(root.hive, slash + 1);
    }
    return false;
}

// One physical line of text and a position in it.
struct Cursor {
    std::string text;
    std::size_t pos = 0;
    bool crlf = false;
    bool AtEnd() const { return pos >= text.size(); }
    char Peek() const { return AtEnd() ? '\0' : text[pos]; }
};

class ExportParser {
public:
    ExportParser(ByteSource& source, const std::string& fileName, const CodePage& codePage,
                 RegistryTree& tree, std::size_t bufferBytes)
        : reader_(source, fileName, bufferBytes), fileName_(fileName), codePage_(codePage), tree_(tree)
    {
    }

    void Run();

private:
    enum class Mode { BeforeFirstKey, Kept, Skipped };

    [[noreturn]] void Fail(const std::string& message) const { FailAt(reader_.lineNumber(), message); }
    [[noreturn]] void FailAt(std::uint64_t line, const std::string& message) const
    {
        throw ExportError(fileName_, line, message);
    }

    bool NextLine(Cursor& cursor);
    bool PassOverSkippedKeyLine();
    bool UnderSettledKey(const unsigned char* units, std::size_t count) const;
    void Decode(const std::string& raw, std::string& text) const;
    std::string NameFromText(std::string_view text) const;
    void ReadHeader();
    void ReadKeyLine(std::string_view text);
    void ReadValueLine(Cursor& cursor);
    std::string ReadQuoted(Cursor& cursor, bool multiLine);
    std::string ReadDword(Cursor& cursor);
    std::uint32_t ReadHexType(Cursor& cursor);
    std::string ReadHexBytes(Cursor& cursor);
    void ExpectLineEnd(Cursor& cursor) const;

    LineReader reader_;
    const std::string& fileName_;
    const CodePage& codePage_;
    RegistryTree& tree_;
    TextEncoding encoding_ = TextEncoding::Bytes;
    bool unicodeText_ = false;  // the text is UTF-8 once decoded; else ANSI bytes
    bool version5_ = false;     // hex(1), hex(2) and hex(7) hold UTF-16LE
    Mode mode_ = Mode::BeforeFirstKey;
    RegNode* key_ = nullptr;
    std::string raw_;
    std::string settledPrefix_;  // raw start of key lines known to be skipped
};

void ExportParser::Run()
{
    encoding_ = reader_.DetectEncoding();
    ReadHeader();
    Cursor cursor;
    for (;;) {
        if (mode_ == Mode::Skipped) {
            if (!reader_.SkipToKeyLine())
                break;
            if (PassOverSkippedKeyLine())
                continue;
        }
        if (!NextLine(cursor))
            break;
        cursor.pos = SkipBlanks(cursor.text, 0);
        if (cursor.AtEnd() || cursor.Peek() == ';')
            continue;
        if (cursor.Peek() == '[')
            ReadKeyLine(std::string_view(cursor.text).substr(cursor.pos));
        else if (mode_ == Mode::Kept)
            ReadValueLine(cursor);
        else
            Fail("a value line before the first key line");
    }
}

bool ExportParser::NextLine(Cursor& cursor)
{
    if (!reader_.ReadLine(raw_, &cursor.crlf))
        return false;
    Decode(raw_, cursor.text);
    cursor.pos = 0;
    return true;
}

// Most lines of a large export are the key lines of keys that are not kept:
// they are recognised in the read buffer itself.
bool ExportParser::PassOverSkippedKeyLine()
{
    const unsigned char* units = nullptr;
    std::size_t count = 0;
    if (!reader_.PeekLine(&units, &count))
        return false;
    const std::size_t width = reader_.unitSize();
    if (UnderSettledKey(units, count)) {
        reader_.SkipPeekedLine();
        return true;
    }
    std::size_t settled = 0;
    const bool skipped = width == 1 ? IsSkippedKeyLine(RawUnits<1>{units, count}, &settled)
                                    : IsSkippedKeyLine(RawUnits<2>{units, count}, &settled);
    if (!skipped)
        return false;
    if (settled != static_cast<std::size_t>(-1))
        settledPrefix_.assign(reinterpret_cast<const char*>(units), settled * width);
    reader_.SkipPeekedLine();
    return true;
}

// An export lists a key's subkeys after it, so key lines often share the start
// that made the last one skipped: "[HKEY_LOCAL_MACHINE\SOFTWARE\Classes\CLSID"
// skips every class. Such a line needs only its closing bracket checked.
bool ExportParser::UnderSettledKey(const unsigned char* units, std::size_t count) const
{
    const std::size_t width = reader_.unitSize();
    const std::size_t prefix = settledPrefix_.size();
    if (prefix == 0 || count * width <= prefix
        || std::memcmp(units, settledPrefix_.data(), prefix) != 0)
        return false;
    const auto unit = [&](std::size_t i) {
        return width == 1 ? units[i] : static_cast<unsigned>(units[2 * i] | (units[2 * i + 1] << 8));
    };
    const unsigned next = unit(prefix / width);
    if (next != '\\' && next != ']')
        return false;
    std::size_t last = count;
    while (last > 0 && (unit(last - 1) == ' ' || unit(last - 1) == '\t' || unit(last - 1) == '\r'))
        --last;
    return unit(last - 1) == ']';
}

void ExportParser::Decode(const std::string& raw, std::string& text) const
{
    if (encoding_ == TextEncoding::Utf16Le)
        Utf8FromUtf16(raw, text);
    else if (unicodeText_ && !IsAscii(raw))
        text = RepairUtf8(raw, codePage_);
    else
        text = raw;
}

std::string ExportParser::NameFromText(std::string_view text) const
{
    return unicodeText_ ? std::string(text) : Utf8FromAnsi(text, codePage_);
}

void ExportParser::ReadHeader()
{
    Cursor cursor;
    if (!NextLine(cursor))
        FailAt(1, "the file is empty, not a registry export");
    std::string_view header = cursor.text;
    while (!header.empty() && (IsBlank(header.back()) || header.back() == '\r'))
        header.remove_suffix(1);
    if (header == kVersion5Header) {
        version5_ = true;
    } else if (header != kVersion4Header) {
        Fail("not a registry export: the first line must be \"Windows Registry Editor "
             "Version 5.00\" or \"REGEDIT4\"");
    }
    // UTF-16 and UTF-8 files hold Unicode text; a REGEDIT4 file without a
    // byte-order mark holds ANSI text.
    unicodeText_ = encoding_ != TextEncoding::Bytes || version5_;
}

void ExportParser::ReadKeyLine(std::string_view text)
{
    const std::size_t close = text.rfind(']');
    if (close == std::string_view::npos)
        Fail("a key line without its closing ']'");
    const std::size_t after = SkipBlanks(text, close + 1);
    if (after < text.size() && text[after] != ';')
        Fail("unexpected text after the key line's closing ']'");
    std::string_view path = text.substr(1, close - 1);
    const bool deletion = !path.empty() && path.front() == '-';
    if (deletion)
        path.remove_prefix(1);

    const std::size_t slash = path.find('\\');
    const std::string_view rootName = path.substr(0, slash);
    const std::string_view rest = slash == std::string_view::npos ? "" : path.substr(slash + 1);
    const RootKey* root = nullptr;
    for (const RootKey& candidate : kRootKeys) {
        if (SameName(candidate.name, rootName))
            root = &candidate;
    }
    if (root == nullptr)
        Fail("unknown root key \"" + std::string(rootName) + "\"");
    mode_ = Mode::Skipped;
    key_ = nullptr;
    if (!root->kept)
        return;

    std::string full = root->prefix;
    if (!full.empty() && !rest.empty())
        full += '\\';
    full += rest;
    if (full.empty())
        return;  // a root itself holds nothing that is kept
    if (!IsKeptKey(root->hive, full) && !deletion)
        return;
    const std::string utf8 = NameFromText(full);
    for (const std::string_view name : SplitPath(utf8)) {
        if (name.empty())
            Fail("an empty key name in \"" + std::string(path) + "\"");
    }
    if (deletion) {
        tree_.Remove(root->hive, utf8);
        return;
    }
    key_ = &tree_.Make(root->hive, utf8);
    mode_ = Mode::Kept;
}

void ExportParser::ReadValueLine(Cursor& cursor)
{
    std::string name;
    if (cursor.Peek() == '@') {
        ++cursor.pos;
    } else if (cursor.Peek() == '"') {
        name = NameFromText(ReadQuoted(cursor, false));
    } else {
        Fail("expected a key line in [brackets], a value name in quotes, @ or a ; comment, found "
             + Shown(cursor.text, cursor.pos));
    }
    cursor.pos = SkipBlanks(cursor.text, cursor.pos);
    if (cursor.Peek() != '=')
        Fail("expected '=' after the value name, found " + Shown(cursor.text, cursor.pos));
    cursor.pos = SkipBlanks(cursor.text, cursor.pos + 1);

    std::uint32_t type = kRegSz;
    std::string data;
    if (cursor.Peek() == '-') {
        ++cursor.pos;
        ExpectLineEnd(cursor);
        key_->RemoveValue(name);
        return;
    }
    if (cursor.Peek() == '"') {
        const std::string text = ReadQuoted(cursor, true);
        ExpectLineEnd(cursor);
        data = unicodeText_ ? AnsiFromUtf8(text, codePage_) : text;
        data += '\0';
    } else if (StartsWithNoCase(cursor.text, cursor.pos, "dword:")) {
        cursor.pos += 6;
        type = kRegDword;
        data = ReadDword(cursor);
    } else if (StartsWithNoCase(cursor.text, cursor.pos, "hex")) {
        cursor.pos += 3;
        type = ReadHexType(cursor);
        const std::string bytes = ReadHexBytes(cursor);
        if (version5_ && IsStringType(type))
            data = AnsiFromUtf16(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                                 codePage_);
        else
            data = bytes;
    } else {
        Fail("unknown value data: expected \"text\", dword:, hex: or hex(N):, found "
             + Shown(cursor.text, cursor.pos));
    }
    key_->SetValue(name, type, std::move(data));
}

// A quoted text with its escapes, the cursor on its opening quote. A value's
// text may run over several lines, as an export writes text that holds line
// breaks; the line ends are kept as they stand in the file.
std::string ExportParser::ReadQuoted(Cursor& cursor, bool multiLine)
{
    const std::uint64_t startLine = reader_.lineNumber();
    std::string text;
    ++cursor.pos;
    for (;;) {
        if (cursor.AtEnd()) {
            if (!multiLine)
                Fail("a value name without its closing quote");
            text += cursor.crlf ? "\r\n" : "\n";
            if (text.size() > kMaxValueBytes || !NextLine(cursor))
                FailAt(startLine, "the quoted text that starts here does not end");
            continue;
        }
        const char c = cursor.text[cursor.pos++];
        if (c == '"')
            return text;
        if (c != '\\') {
            text += c;
            continue;
        }
        if (cursor.AtEnd())
            Fail("a quoted text ends in a lone backslash");
        switch (const char escaped = cursor.text[cursor.pos++]) {
        case '\\':
        case '"':
            text += escaped;
            break;
        case 'n':
            text += '\n';
            break;
        case 'r':
            text += '\r';
            break;
        case '0':
            text += '\0';
            break;
        default:
            Fail("unknown escape \\" + std::string(1, escaped) + " in a quoted text (only \\\\, \\\", "
                 "\\n, \\r and \\0 are known)");
        }
    }
    // not reached: the loop returns at the closing quote
}

std::string ExportParser::ReadDword(Cursor& cursor)
{
    std::uint32_t value = 0;
    std::size_t digits = 0;
    for (int digit; (digit = HexDigit(cursor.Peek())) >= 0; ++cursor.pos, ++digits)
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    if (digits == 0 || digits > 8)
        Fail("dword: takes 1 to 8 hex digits");
    ExpectLineEnd(cursor);
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i)
        data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return data;
}

// After "hex": ":" for binary data, or "(N):" with the type N in hex.
std::uint32_t ExportParser::ReadHexType(Cursor& cursor)
{
    std::uint32_t type = kRegBinary;
    if (cursor.Peek() == '(') {
        ++cursor.pos;
        type = 0;
        std::size_t digits = 0;
        for (int digit; (digit = HexDigit(cursor.Peek())) >= 0; ++cursor.pos, ++digits)
            type = (type << 4) | static_cast<std::uint32_t>(digit);
        if (digits == 0 || digits > 8 || cursor.Peek() != ')')
            Fail("hex(N): takes a type N of 1 to 8 hex digits");
        ++cursor.pos;
    }
    if (cursor.Peek() != ':')
        Fail("expected ':' after hex, found " + Shown(cursor.text, cursor.pos));
    ++cursor.pos;
    return type;
}

// Comma-separated hex bytes; a backslash at the end of a line continues them
// on the next line.
std::string ExportParser::ReadHexBytes(Cursor& cursor)
{
    const std::uint64_t startLine = reader_.lineNumber();
    std::string bytes;
    for (;;) {
        cursor.pos = SkipBlanks(cursor.text, cursor.pos);
        if (cursor.AtEnd() || cursor.Peek() == ';')
            return bytes;
        if (cursor.Peek() == '\\') {
            ++cursor.pos;
            ExpectLineEnd(cursor);
            if (!NextLine(cursor))
                FailAt(startLine, "the hex data that starts here is cut off by the end of the file");
            continue;
        }
        const int high = HexDigit(cursor.Peek());
        if (high < 0)
            Fail("expected a hex byte, found " + Shown(cursor.text, cursor.pos));
        int value = high;
        ++cursor.pos;
        if (const int low = HexDigit(cursor.Peek()); low >= 0) {
            value = value * 16 + low;
            ++cursor.pos;
        }
        if (HexDigit(cursor.Peek()) >= 0)
            Fail("a hex byte with more than two digits");
        bytes += static_cast<char>(value);
        if (bytes.size() > kMaxValueBytes)
            FailAt(startLine, "the value is larger than 16 MiB");
        cursor.pos = SkipBlanks(cursor.text, cursor.pos);
        if (cursor.Peek() == ',')
            ++cursor.pos;
        else if (!cursor.AtEnd() && cursor.Peek() != ';' && cursor.Peek() != '\\')
            Fail("expected ',' between hex bytes, found " + Shown(cursor.text, cursor.pos));
    }
}

void ExportParser::ExpectLineEnd(Cursor& cursor) const
{
    cursor.pos = SkipBlanks(cursor.text, cursor.pos);
    if (!cursor.AtEnd() && cursor.Peek() != ';')
        Fail("unexpected text after the value: " + Shown(cursor.text, cursor.pos));
}

}  // namespace

void ReadExport(ByteSource& source, const std::string& fileName, const CodePage& codePage,
                RegistryTree& tree, std::size_t bufferBytes)
{
    ExportParser(source, fileName, codePage, tree, std::max(bufferBytes, kMinReadBufferBytes)).Run();
}
