#include "offline/line_reader.h"

#include <cstring>

namespace {

constexpr std::size_t kBufferBytes = 1u << 20;

}  // namespace

LineReader::LineReader(ByteSource& source, const std::string& fileName)
    : source_(source), fileName_(fileName), buffer_(kBufferBytes)
{
}

// Moves the unread bytes to the front and reads more after them: false when
// nothing more came.
bool LineReader::Fill()
{
    if (atEof_)
        return false;
    if (pos_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
    }
    const std::size_t got = source_.Read(buffer_.data() + end_, buffer_.size() - end_);
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

// The position of the first LF unit in [from, end), or end.
std::size_t LineReader::FindLineFeed(std::size_t from, std::size_t end) const
{
    const unsigned char* base = buffer_.data();
    std::size_t at = from;
    while (at < end) {
        const void* found = std::memchr(base + at, '\n', end - at);
        if (found == nullptr)
            return end;
        const std::size_t hit = static_cast<const unsigned char*>(found) - base;
        // In UTF-16 the byte must open a unit whose other byte is zero.
        if (unitSize_ == 1 || ((hit - from) % 2 == 0 && base[hit + 1] == 0))
            return hit;
        at = hit + 1;
    }
    return end;
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
    const unsigned char* b = buffer_.data();
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
        line.append(reinterpret_cast<const char*>(buffer_.data() + pos_), stop - pos_);
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

bool LineReader::SkipToKeyLine()
{
    bool atLineStart = true;
    for (;;) {
        const std::size_t end = CompleteEnd();
        if (pos_ == end) {
            if (Fill())
                continue;
            CheckEnd();
            return false;
        }
        if (atLineStart) {
            const unsigned unit = UnitAt(pos_);
            if (unit == '[')
                return true;
            if (unit == ' ' || unit == '\t') {
                pos_ += unitSize_;
                continue;
            }
            atLineStart = false;
        }
        const std::size_t stop = FindLineFeed(pos_, end);
        if (stop == end) {
            pos_ = end;
            continue;
        }
        pos_ = stop + unitSize_;
        ++nextLine_;
        atLineStart = true;
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
            *units = buffer_.data() + pos_;
            *count = (stop - pos_) / unitSize_;
            return true;
        }
        if (pos_ == 0 && end_ == buffer_.size())
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
