// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The record layer of an .xls workbook stream (BIFF5 and BIFF8): little-endian fields,
// records one after another, and a record read on into its CONTINUE records.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace edlt::sheet::xls {

enum Record : uint16_t {
    BOF = 0x0809,
    EOF_ = 0x000A,
    FILEPASS = 0x002F,
    CODEPAGE = 0x0042,
    BOUNDSHEET = 0x0085,
    SST = 0x00FC,
    CONTINUE = 0x003C,
    LABELSST = 0x00FD,
    LABEL = 0x0204,
    RSTRING = 0x00D6,
    NUMBER = 0x0203,
    RK = 0x027E,
    MULRK = 0x00BD,
    FORMULA = 0x0006,
    STRING = 0x0207,
    BOOLERR = 0x0205,
    DIMENSION = 0x0200,
};

inline uint16_t u16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
inline uint32_t u32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
double f64(const uint8_t* p);

struct RecordView {
    uint16_t type = 0;
    const uint8_t* data = nullptr;
    size_t size = 0;
};

// The records of the workbook stream, one after another from a position.
class Records {
public:
    explicit Records(std::string_view stream) : stream_(stream) {}
    void seek(size_t pos) { pos_ = pos; }
    size_t position() const { return pos_; }
    // The next record; false at the end of the stream. Throws a corrupt-file fault for a
    // record that runs past it.
    bool next(RecordView& r);
    // The CONTINUE record that follows, if any.
    bool nextContinue(RecordView& r);

private:
    std::string_view stream_;
    size_t pos_ = 0;
};

// A record's data and its CONTINUE records read as one, for BIFF8 strings: where the
// characters of a string cross into a CONTINUE, that record starts with a new flags byte.
class ContinuedReader {
public:
    ContinuedReader(Records& records, const RecordView& first) : records_(records), cur_(first) {}

    bool atEnd();
    uint8_t byte();
    uint16_t word() { return static_cast<uint16_t>(byte() | byte() << 8); }
    uint32_t dword() { return uint32_t(word()) | uint32_t(word()) << 16; }
    void skip(uint64_t n);

    // Some of the next `count` characters of a string (1 or 2 bytes each, as `wide`
    // says), as many as the current record holds. Where it holds none, the characters go
    // on in the next CONTINUE, whose flags byte sets `wide` anew.
    struct Characters {
        const uint8_t* data;
        size_t count;
    };
    Characters characters(size_t count, bool& wide);

private:
    bool advance();

    Records& records_;
    RecordView cur_;
    size_t pos_ = 0;
};

}  // namespace edlt::sheet::xls
