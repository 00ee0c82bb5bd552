// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Byte sources and sinks: every reader and writer of a file format takes one of these
// rather than a path, so tests feed memory and sinks that fail on purpose.
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/base/Error.h"

namespace edlt {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes all of data or throws Error.
    virtual void write(std::string_view data) = 0;
};

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to size bytes; 0 means the end. Throws Error on a read failure.
    virtual size_t read(char* buffer, size_t size) = 0;
};

class StringSink : public ByteSink {
public:
    void write(std::string_view data) override { text_.append(data); }
    const std::string& text() const { return text_; }
    std::string& text() { return text_; }

private:
    std::string text_;
};

class StringSource : public ByteSource {
public:
    explicit StringSource(std::string text) : text_(std::move(text)) {}
    size_t read(char* buffer, size_t size) override;

private:
    std::string text_;
    size_t pos_ = 0;
};

// A file that could not be opened for reading; cause() is the Greek reason.
class FileOpenError : public Error {
public:
    FileOpenError(const std::string& message, std::string file, std::string cause)
        : Error(message), file_(std::move(file)), cause_(std::move(cause))
    {
    }
    // " (<file>: <cause>)", to follow a fixed message about the file.
    std::string framed() const { return " (" + file_ + ": " + cause_ + ")"; }

private:
    std::string file_, cause_;
};

// Reads a regular file; the constructor throws FileOpenError("Cannot open file \"%s\". %s")
// when it cannot, and for anything else (a folder, pipe or device would block or never end).
class FileSource : public ByteSource {
public:
    explicit FileSource(const std::filesystem::path& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    size_t read(char* buffer, size_t size) override;

private:
    int fd_ = -1;
    std::filesystem::path path_;
};

// Splits a byte source into lines ending at CR LF, LF or CR; a break after the last
// line adds no empty line. Lines longer than maxLength are cut there and flagged; with
// stopWhenTooLong the reader returns at once, the rest of that line unread (a caller
// that refuses such a line need not read gigabytes to find its end).
class LineReader {
public:
    explicit LineReader(ByteSource& source, size_t maxLength = static_cast<size_t>(-1), bool stopWhenTooLong = false);
    bool next(std::string& line);
    bool lastLineTooLong() const { return tooLong_; }

private:
    bool fill();

    ByteSource& source_;
    size_t maxLength_;
    bool stopWhenTooLong_;
    std::string buffer_;
    size_t pos_ = 0;
    bool eof_ = false;
    bool tooLong_ = false;
};

// The Greek text for an errno, for messages about files.
std::string systemErrorText(int error);
// The cause given for a folder, pipe, device or socket where a regular file is needed.
std::string notRegularFileText();

}  // namespace edlt
