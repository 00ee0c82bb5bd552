// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Holds the compressed data until the local header, which must precede it, can be written:
// in memory up to a limit, then in an unnamed file that vanishes with its descriptor.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/base/ByteStream.h"

namespace edlt {

class SpillBuffer : public ByteSink {
public:
    // The file goes in folder (the current folder when empty), else in the system's
    // temporary folder; Error when neither takes it.
    SpillBuffer(std::filesystem::path folder, size_t memoryLimit);
    ~SpillBuffer() override;
    SpillBuffer(const SpillBuffer&) = delete;
    SpillBuffer& operator=(const SpillBuffer&) = delete;

    void write(std::string_view data) override;

    uint64_t size() const { return size_; }

    // Everything written so far, in order.
    void copyTo(ByteSink& sink);

private:
    void openFile();
    void writeFile(std::string_view data);

    std::filesystem::path folder_;
    size_t limit_;
    std::string memory_;
    uint64_t size_ = 0;
    int fd_ = -1;
};

}  // namespace edlt
