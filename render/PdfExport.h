// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Report pages onto a paged device (a PDF writer or a printer), and a PDF written whole
// through the program's atomic writer, so a cancelled or failed export leaves no file.
#include <climits>
#include <filesystem>
#include <functional>

#include "core/base/Error.h"
#include "render/ReportDocument.h"

class QPagedPaintDevice;

namespace edlt::reports {

// Told after each page (pages done, pages in all); returns false to stop.
using PageProgress = std::function<bool(int done, int total)>;

// Pages first to last, 0-based and both included; the default is every page, and a last
// page past the document's is its last.
struct PageRange {
    int first = 0, last = INT_MAX;
};

// Draws the pages of range on device, which has no margins and is already set to the
// document's page layout. False when progress stopped it; the device is then left with
// the pages drawn so far. Progress counts the range's pages.
bool paintPages(const ReportDocument& document, QPagedPaintDevice& device, const PageProgress& progress,
                PageRange range = {});

// A PDF file that could not be written, with the system's cause (an errno).
class PdfFileError : public Error {
public:
    PdfFileError(const std::string& cp1253Message, int errnoCause) : Error(cp1253Message), cause(errnoCause) {}
    int cause;
};

// Writes the pages of range of document as a PDF file at path. False when progress stopped it (no file is left);
// throws PdfFileError when the file cannot be written (the old file at path stays).
bool writePdf(const ReportDocument& document, const std::filesystem::path& path, const PageProgress& progress,
              PageRange range = {});

}  // namespace edlt::reports
