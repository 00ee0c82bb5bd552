// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/XlsRecords.h"

#include <algorithm>
#include <cstring>

#include "core/import/CellText.h"

namespace edlt::sheet::xls {

double f64(const uint8_t* p)
{
    uint64_t bits = uint64_t(u32(p)) | uint64_t(u32(p + 4)) << 32;
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

bool Records::next(RecordView& r)
{
    if (pos_ + 4 > stream_.size()) return false;
    const auto* p = reinterpret_cast<const uint8_t*>(stream_.data()) + pos_;
    r.type = u16(p);
    r.size = u16(p + 2);
    if (pos_ + 4 + r.size > stream_.size()) fail(SheetFault::Corrupt);
    r.data = p + 4;
    pos_ += 4 + r.size;
    return true;
}

bool Records::nextContinue(RecordView& r)
{
    size_t saved = pos_;
    if (next(r) && r.type == CONTINUE) return true;
    pos_ = saved;
    return false;
}

bool ContinuedReader::atEnd()
{
    while (pos_ == cur_.size)
        if (!advance()) return true;
    return false;
}

uint8_t ContinuedReader::byte()
{
    if (atEnd()) fail(SheetFault::Corrupt);
    return cur_.data[pos_++];
}

void ContinuedReader::skip(uint64_t n)
{
    while (n > 0) {
        if (atEnd()) fail(SheetFault::Corrupt);
        size_t step = static_cast<size_t>(std::min<uint64_t>(n, cur_.size - pos_));
        pos_ += step;
        n -= step;
    }
}

ContinuedReader::Characters ContinuedReader::characters(size_t count, bool& wide)
{
    while (pos_ == cur_.size) {
        if (!advance()) fail(SheetFault::Corrupt);
        wide = byte() & 0x01;  // characters go on in a CONTINUE, with their own width
    }
    size_t avail = (cur_.size - pos_) / (wide ? 2 : 1);
    if (avail == 0) fail(SheetFault::Corrupt);
    const Characters got{cur_.data + pos_, std::min(avail, count)};
    pos_ += got.count * (wide ? 2 : 1);
    return got;
}

bool ContinuedReader::advance()
{
    RecordView next;
    if (!records_.nextContinue(next)) return false;
    cur_ = next;
    pos_ = 0;
    return true;
}

}  // namespace edlt::sheet::xls
