#include "offline/line_reader.h"

#include <algorithm>
#include <cstring>

LineReader::LineReader(ByteSource& source, const std::string& fileName, std::size_t bufferBytes)
    : source_(source),
      fileName_(fileName),
      storage_(new std::uint16_t[(bufferBytes + 1) / 2]),
      buffer_(reinterpret_cast<unsigned char*>(storage_.get())),
      capacity_(bufferBytes)
{
}

// Moves the unread bytes to the front and reads more after them: false when
// nothing more came.
bool LineReader::Fill()
{
    if (atEof_)
        return false;
    if (pos_ > 0) {
        std::memmove(buffer_, buffer_ + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
    }
    const std::size_t got = source_.Read(buffer_ + end_, capacity_ - end_);
    if (got == 0) {
        atEof_ = true;
        return false;
    }
    end_ += got;
    return true;
}

// The end of the whole units in the buffer: a UTF-16 unit may arrive in two reads.
std::size_t LineReader::CompleteEnd() const
{
    return pos_ + ((end_ - pos_) & ~(unitSize_ - 1));  // unitSize_ is 1 or 2
}

unsigned LineReader::UnitAt(std::size_t pos) const
{
    if (unitSize_ == 1)
        return buffer_[pos];
    return buffer_[pos] | (buffer_[pos + 1] << 8);
}

// The position of the first unit of this ASCII value in [from, end), or end.
std::size_t LineReader::FindUnit(unsigned char unit, std::size_t from, std::size_t end) const
{
    std::size_t at = from;
    while (at < end) {
        const void* found = std::memchr(buffer_ + at, unit, end - at);
        if (found == nullptr)
            return end;
        const std::size_t hit = static_cast<const unsigned char*>(found) - buffer_;
        // In UTF-16 the byte must open a unit whose other byte is zero.
        if (unitSize_ == 1 || ((hit - from) % 2 == 0 && buffer_[hit + 1] == 0))
            return hit;
        at = hit + 1;
    }
    return end;
}

std::size_t LineReader::FindLineFeed(std::size_t from, std::size_t end) const
{
    return FindUnit('\n', from, end);
}

// Where the blanks that end [pos_, at) begin.
std::size_t LineReader::BlanksBefore(std::size_t at) const
{
    while (at > pos_) {
        const unsigned unit = UnitAt(at - unitSize_);
        if (unit != ' ' && unit != '\t')
            break;
        at -= unitSize_;
    }
    return at;
}

namespace {

// Counts in blocks with narrow counters, which compilers turn into vector code.
template <typename Unit>
std::uint64_t CountEqual(const Unit* begin, const Unit* end, Unit value)
{
    std::uint64_t total = 0;
    while (begin < end) {
        const std::size_t block = std::min<std::size_t>(end - begin, 0xFFFF);
        std::uint16_t count = 0;
        for (std::size_t i = 0; i < block; ++i)
            count = static_cast<std::uint16_t>(count + (begin[i] == value));
        total += count;
        begin += block;
    }
    return total;
}

}  // namespace

std::uint64_t LineReader::CountLineFeeds(std::size_t from, std::size_t end) const
{
    if (unitSize_ == 1)
        return CountEqual<unsigned char>(buffer_ + from, buffer_ + end, '\n');
    // Whole units, compared as the host holds them.
    const unsigned char lineFeed[2] = {'\n', 0};
    std::uint16_t unit = 0;
    std::memcpy(&unit, lineFeed, sizeof unit);
    return CountEqual<std::uint16_t>(storage_.get() + from / 2, storage_.get() + end / 2, unit);
}

void LineReader::CheckEnd() const
{
    if (end_ != pos_)
        throw ExportError(fileName_, nextLine_, "the file ends in the middle of a UTF-16 character");
}

TextEncoding LineReader::DetectEncoding()
{
    while (end_ < 4 && Fill()) {
    }
    const unsigned char* b = buffer_;
    const auto starts = [&](std::initializer_list<unsigned char> bytes) {
        return end_ >= bytes.size() && std::equal(bytes.begin(), bytes.end(), b);
    };
    if (starts({0xFF, 0xFE, 0, 0}) || starts({0, 0, 0xFE, 0xFF}))
        throw ExportError(fileName_, 1, "UTF-32 text is not a registry export");
    if (starts({0xFE, 0xFF}))
        throw ExportError(fileName_, 1, "UTF-16 big-endian text is not a registry export "
                                        "(exports are UTF-16 little-endian)");
    if (starts({0xFF, 0xFE})) {
        pos_ = 2;
        unitSize_ = 2;
        return TextEncoding::Utf16Le;
    }
    if (starts({0xEF, 0xBB, 0xBF})) {
        pos_ = 3;
        return TextEncoding::Utf8Bom;
    }
    // UTF-16LE without its mark: an ASCII first character and a zero.
    if (end_ >= 2 && b[0] != 0 && b[0] < 0x80 && b[1] == 0) {
        unitSize_ = 2;
        return TextEncoding::Utf16Le;
    }
    return TextEncoding::Bytes;
}

bool LineReader::ReadLine(std::string& line, bool* crlf)
{
    line.clear();
    bool any = false;
    bool ended = false;
    while (!ended) {
        std::size_t end = CompleteEnd();
        if (pos_ == end) {
            if (Fill())
                continue;
            CheckEnd();
            if (!any)
                return false;
            break;  // the last line has no line end
        }
        any = true;
        const std::size_t stop = FindLineFeed(pos_, end);
        if (line.size() + (stop - pos_) > kMaxLineBytes)
            throw ExportError(fileName_, nextLine_, "the line is longer than 8 MiB");
        line.append(reinterpret_cast<const char*>(buffer_ + pos_), stop - pos_);
        ended = stop != end;
        pos_ = ended ? stop + unitSize_ : stop;
    }
    lineNumber_ = nextLine_;
    if (ended)
        ++nextLine_;
    const bool cr = line.size() >= unitSize_ && line[line.size() - unitSize_] == '\r'
                    && (unitSize_ == 1 || line.back() == 0);
    if (cr)
        line.resize(line.size() - unitSize_);
    *crlf = cr;
    return true;
}

// Looks for '[' units and keeps the line count with a count of the line feeds
// passed over, rather than going from line to line: most lines are skipped.
bool LineReader::SkipToKeyLine()
{
    bool blankLine = true;  // only blanks since the last line feed before pos_
    for (;;) {
        const std::size_t end = CompleteEnd();
        if (pos_ == end) {
            if (Fill())
                continue;
            CheckEnd();
            return false;
        }
        for (std::size_t from = pos_;;) {
            const std::size_t bracket = FindUnit('[', from, end);
            if (bracket == end)
                break;
            const std::size_t lineStart = BlanksBefore(bracket);
            if (lineStart == pos_ ? blankLine : UnitAt(lineStart - unitSize_) == '\n') {
                nextLine_ += CountLineFeeds(pos_, bracket);
                pos_ = bracket;
                return true;
            }
            from = bracket + unitSize_;
        }
        const std::size_t tail = BlanksBefore(end);
        blankLine = tail == pos_ ? blankLine : UnitAt(tail - unitSize_) == '\n';
        nextLine_ += CountLineFeeds(pos_, end);
        pos_ = end;
    }
}

bool LineReader::PeekLine(const unsigned char** units, std::size_t* count)
{
    std::size_t searched = pos_;
    for (;;) {
        const std::size_t end = CompleteEnd();
        const std::size_t stop = FindLineFeed(searched, end);
        if (stop != end || (atEof_ && end > pos_)) {
            peekEnd_ = stop;
            peekEnded_ = stop != end;
            *units = buffer_ + pos_;
            *count = (stop - pos_) / unitSize_;
            return true;
        }
        if (pos_ == 0 && end_ == capacity_)
            return false;
        const std::size_t scanned = end - pos_;
        if (!Fill())
            return false;
        searched = pos_ + scanned;
    }
}

void LineReader::SkipPeekedLine()
{
    pos_ = peekEnded_ ? peekEnd_ + unitSize_ : peekEnd_;
    if (peekEnded_)
        ++nextLine_;
}
