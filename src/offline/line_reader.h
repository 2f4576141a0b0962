// Splits a stream of bytes or UTF-16LE units into physical lines, in one
// buffer of fixed size. Lines end with LF; a CR before it is dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <memory>

#include "offline/reg_export.h"

enum class TextEncoding { Bytes, Utf8Bom, Utf16Le };

class LineReader {
public:
    LineReader(ByteSource& source, const std::string& fileName, std::size_t bufferBytes);

    // Looks at the first bytes and consumes a byte-order mark. Throws for
    // encodings an export never has.
    TextEncoding DetectEncoding();

    // The next line's code units as bytes, without its line end; false at the
    // end of the file. *crlf tells whether it ended with CR LF.
    bool ReadLine(std::string& line, bool* crlf);

    // Passes over lines until one whose first character other than blanks is
    // '[', without reading them into memory. False at the end of the file.
    bool SkipToKeyLine();

    // The current line's code units in the buffer, without its LF, reading
    // more when needed: false at the end of the file or for a line that does
    // not fit in the buffer. SkipPeekedLine then passes over it.
    bool PeekLine(const unsigned char** units, std::size_t* count);
    void SkipPeekedLine();

    // The number of the line that ReadLine returned last (1 for the first).
    std::uint64_t lineNumber() const { return lineNumber_; }
    std::size_t unitSize() const { return unitSize_; }

private:
    bool Fill();
    std::size_t CompleteEnd() const;
    unsigned UnitAt(std::size_t pos) const;
    std::size_t FindUnit(unsigned char unit, std::size_t from, std::size_t end) const;
    std::size_t FindLineFeed(std::size_t from, std::size_t end) const;
    std::size_t BlanksBefore(std::size_t at) const;
    std::uint64_t CountLineFeeds(std::size_t from, std::size_t end) const;
    void CheckEnd() const;

    ByteSource& source_;
    const std::string& fileName_;
    // UTF-16 units, so that they can be counted as such; not zeroed, as only
    // what was read is used.
    std::unique_ptr<std::uint16_t[]> storage_;
    unsigned char* buffer_;
    std::size_t capacity_;
    std::size_t pos_ = 0;  // always at a unit boundary
    std::size_t end_ = 0;
    bool atEof_ = false;
    std::size_t unitSize_ = 1;
    std::uint64_t nextLine_ = 1;  // the number of the line at pos_
    std::uint64_t lineNumber_ = 0;
    std::size_t peekEnd_ = 0;
    bool peekEnded_ = false;  // the peeked line has an LF
};
