// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A worksheet part's rows parsed on two threads. The XML is cut before <row> start tags
// into segments of about a megabyte (a scan that steps over comments, CDATA sections and
// processing instructions finds them); each segment is parsed by a parser of its own,
// wrapped in an element, and the results are committed in the file's order. The
// document's own parser gets everything before the first row and from </sheetData> on,
// so head and tail are checked as one document and each segment as a balanced piece:
// together, the elements one parser would have seen, in the same order.
//
// Anything this does not follow (another encoding, a DOCTYPE, a row too long to cut, a
// row that needs the ones before it, any failure at all) ends the attempt: the caller
// reads the part again with one parser, which gives the file's own result or message.
#include <cstddef>
#include <memory>
#include <string_view>

#include "core/import/XmlStream.h"

namespace edlt::sheet {

class ZipArchive;

class RowSegments {
public:
    // What one segment's parse gave, kept until its turn to be committed.
    class Parsed {
    public:
        virtual ~Parsed() = default;
    };

    explicit RowSegments(size_t segmentBytes) : segmentBytes_(segmentBytes) {}
    virtual ~RowSegments() = default;

    // Reads the part; false when it must be read again with one parser (what was
    // committed then does not count, and the bytes read are forgotten by the archive).
    // Throws the file's SheetError when it is met before the first segment.
    bool read(ZipArchive& zip, std::string_view part);

    // Parses one segment's XML with handler, wrapped in an element of its own that stands
    // for the innermost element open around the rows: nesting counts as in one parser.
    void parseWrapped(XmlHandler& handler, std::string_view xml) const;

protected:
    // The document's handler; its cells are committed as they come, on the reading thread.
    virtual XmlHandler& outer() = 0;
    // Whether outer() stands inside sheetData between rows, where a segment may start.
    virtual bool outerBetweenRows() const = 0;
    // Parses a segment on a worker thread; throws on anything it does not expect.
    virtual std::unique_ptr<Parsed> parse(std::string_view xml) = 0;
    // Commits a segment's result: one at a time, in the file's order.
    virtual void commit(Parsed& parsed) = 0;
    // Before the tail: outer() goes on from where the last segment ended.
    virtual void resume(const Parsed& last) = 0;

private:
    bool readInSegments(ZipArchive& zip, std::string_view part);

    size_t segmentBytes_;
    bool cut_ = false;      // a segment has been cut off this read
    size_t rowsDepth_ = 0;  // elements open around the rows
};

}  // namespace edlt::sheet
