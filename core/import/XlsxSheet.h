// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The cells of an .xlsx worksheet part into the block: a large part cut into segments
// parsed on two threads (see RowSegments), else one parser whose cells are stored on a
// second thread.
#include <string>

namespace edlt::sheet {

class BlockBuilder;
class StringPool;
class ZipArchive;

// The shared strings are in the block already (StringPool::moveInto).
void readXlsxSheet(ZipArchive& zip, const std::string& part, const StringPool& strings, BlockBuilder& block);

}  // namespace edlt::sheet
