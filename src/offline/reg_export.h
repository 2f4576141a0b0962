// Reads registry export files ("Windows Registry Editor Version 5.00" in
// UTF-16LE or UTF-8, and "REGEDIT4" in the ANSI code page) into a
// RegistryTree, as importing them in order would leave the registry: keys and
// values of the kept subtrees, deletions of keys and values.
//
// The file is read as a stream in fixed memory. Lines of keys that are not
// kept are only split into lines: a line there that begins with '[' starts
// the next key, and nothing else in them is checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "offline/codepage.h"
#include "offline/registry_tree.h"

// A malformed export: the file, the line (1 for the first) and what is wrong.
class ExportError : public std::runtime_error {
public:
    ExportError(const std::string& file, std::uint64_t line, const std::string& message);
    const std::string& file() const { return file_; }
    std::uint64_t line() const { return line_; }

private:
    std::string file_;
    std::uint64_t line_;
};

// Where an export's bytes come from.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to `size` bytes; 0 only at the end. Throws on a read error.
    virtual std::size_t Read(unsigned char* buffer, std::size_t size) = 0;
};

class FileSource : public ByteSource {
public:
    FileSource(std::FILE* file, std::string name) : file_(file), name_(std::move(name)) {}
    std::size_t Read(unsigned char* buffer, std::size_t size) override;

private:
    std::FILE* file_;
    std::string name_;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const void* data, std::size_t size)
        : data_(static_cast<const unsigned char*>(data)), size_(size) {}
    std::size_t Read(unsigned char* buffer, std::size_t size) override;

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Limits that keep a malformed file from taking unbounded memory.
constexpr std::size_t kMaxLineBytes = 8u << 20;
constexpr std::size_t kMaxValueBytes = 16u << 20;

// The read buffer: lines that fit in it are looked at where they lie.
constexpr std::size_t kReadBufferBytes = 1u << 20;
constexpr std::size_t kMinReadBufferBytes = 16;

// Reads one export and merges it into the tree. `fileName` names the file in
// errors. Throws ExportError for a malformed file.
void ReadExport(ByteSource& source, const std::string& fileName, const CodePage& codePage,
                RegistryTree& tree, std::size_t bufferBytes = kReadBufferBytes);
