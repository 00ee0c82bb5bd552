// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A reader's cells stored into the block on a second thread while the reader parses on.
// Cells go in batches through a few places, so the memory in flight stays small whatever
// the cells hold; a cell's text travels in its batch's bytes (Cell has offset and length).
// The first failure in the sheet's order is the one thrown, whichever thread met it.
#include <cstddef>
#include <exception>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "core/base/Handoff.h"

namespace edlt::sheet {

// Cells with their texts one after another in one buffer (Cell has offset and length).
template <class Cell>
struct CellBatch {
    std::vector<Cell> cells;
    std::string bytes;

    void add(Cell cell, std::string_view text)
    {
        cell.offset = bytes.size();
        cell.length = text.size();
        cells.push_back(cell);
        bytes.append(text);
    }
    std::string_view textOf(const Cell& cell) const { return std::string_view(bytes).substr(cell.offset, cell.length); }
};

template <class Cell, class Store>
class CellPipeline {
public:
    explicit CellPipeline(Store store) : store_(std::move(store)), thread_([this] { consume(); }) { startBatch(); }
    ~CellPipeline() { stop(); }
    CellPipeline(const CellPipeline&) = delete;
    CellPipeline& operator=(const CellPipeline&) = delete;

    void add(Cell cell, std::string_view text = {})
    {
        batch_.add(cell, text);
        if (batch_.cells.size() >= batchCells || batch_.bytes.size() >= batchBytes) flush();
    }

    // Runs the parse, which adds the cells, and waits for them to be stored; throws the
    // first failure.
    template <class Parse>
    void run(Parse&& parse)
    {
        std::exception_ptr parseError;
        try {
            parse();
        } catch (...) {
            parseError = std::current_exception();
        }
        finish(parseError);
    }

private:
    void finish(std::exception_ptr parseError)
    {
        try {
            flush();
        } catch (const Stopped&) {
            // The storing thread's failure comes first.
        }
        stop();
        if (storeError_) std::rethrow_exception(storeError_);
        if (parseError) std::rethrow_exception(parseError);
    }

    static constexpr size_t batchCells = 4096;
    static constexpr size_t batchBytes = 256 << 10;
    struct Stopped {};  // thrown into the parser when the storing thread failed
    using Batch = CellBatch<Cell>;

    void startBatch()
    {
        batch_.cells.reserve(batchCells);
        batch_.bytes.reserve(batchBytes / 4);
    }

    void flush()
    {
        if (batch_.cells.empty()) return;
        const bool taken = cells_.put(std::move(batch_));
        batch_ = Batch();
        startBatch();
        if (!taken) throw Stopped();
    }

    void consume()
    {
        try {
            while (auto batch = cells_.take())
                for (const Cell& cell : batch->cells) store_.store(cell, batch->textOf(cell));
        } catch (...) {
            storeError_ = std::current_exception();
            cells_.leave();
        }
    }

    void stop()
    {
        if (!thread_.joinable()) return;
        cells_.close();
        thread_.join();
    }

    Store store_;
    Handoff<Batch> cells_{4};
    Batch batch_;
    std::exception_ptr storeError_;
    std::thread thread_;
};

}  // namespace edlt::sheet
