// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/PdfExport.h"

#include <QIODevice>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cerrno>
#include <optional>

#include "core/base/Error.h"
#include "core/store/AtomicFile.h"

namespace edlt::reports {
namespace {

// The PDF writer writes to a device; this one hands the bytes to the atomic writer and
// keeps its first failure, which the PDF engine would otherwise ignore.
class SinkDevice : public QIODevice {
public:
    explicit SinkDevice(ByteSink& sink) : sink_(sink) { open(QIODevice::WriteOnly); }
    bool isSequential() const override { return true; }
    bool failed() const { return static_cast<bool>(failure_); }
    void rethrow() const
    {
        if (failure_) throw PdfFileError(failure_->message(), cause_);
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (failure_) return -1;
        try {
            sink_.write(std::string_view(data, static_cast<size_t>(size)));
        } catch (const Error& e) {
            // The writer throws right after the failed call, so errno still holds its cause.
            cause_ = errno ? errno : EIO;
            failure_ = e;
            return -1;
        }
        return size;
    }

private:
    ByteSink& sink_;
    std::optional<Error> failure_;
    int cause_ = 0;
};

}  // namespace

bool paintPages(const ReportDocument& document, QPagedPaintDevice& device, const PageProgress& progress,
                PageRange range)
{
    QPainter painter;
    if (!painter.begin(&device)) throw Error("Cannot start the page device");
    // The page as large as the paper allows: a printer set to portrait gets the page whole.
    const QSizeF pageSize = document.pageSize();
    const qreal scale = std::min(device.width() / pageSize.width(), device.height() / pageSize.height());
    const int first = std::max(range.first, 0), last = std::min(range.last, document.pageCount() - 1);
    const int pages = std::max(last - first + 1, 0);
    for (int page = first; page <= last; ++page) {
        if (page > first && !device.newPage()) break;
        painter.resetTransform();
        painter.scale(scale, scale);
        document.paintPage(painter, page);
        if (progress && !progress(page - first + 1, pages)) {
            painter.end();
            return false;
        }
    }
    painter.end();
    return true;
}

namespace {

// Runs step, turning the atomic writer's failure into one that keeps the system's cause.
template <typename Step>
auto keepingCause(Step step)
{
    try {
        return step();
    } catch (const PdfFileError&) {
        throw;
    } catch (const Error& e) {
        const int cause = errno ? errno : EIO;
        throw PdfFileError(e.message(), cause);
    }
}

}  // namespace

bool writePdf(const ReportDocument& document, const std::filesystem::path& path, const PageProgress& progress,
              PageRange range)
{
    errno = 0;
    AtomicFileWriter file = keepingCause([&] { return AtomicFileWriter(path, AtomicFileWriter::Durability::Durable); });
    SinkDevice device(file);
    bool finished = false;
    {
        QPdfWriter pdf(&device);
        pdf.setResolution(static_cast<int>(ReportDocument::unitsPerInch));
        pdf.setPageLayout(document.pageLayout());
        pdf.setCreator(QStringLiteral("e-ΔΛΤ"));
        pdf.setTitle(QStringLiteral("ΟΡΙΣΤΙΚΗ ΔΗΛΩΣΗ ΔΛΤ"));
        // A full disk stops the pages at once rather than after the last one.
        finished = paintPages(
            document, pdf,
            [&](int done, int total) { return !device.failed() && (!progress || progress(done, total)); }, range);
    }
    device.rethrow();
    if (!finished) {
        file.discard();
        return false;
    }
    keepingCause([&] { file.commit(); });
    return true;
}

}  // namespace edlt::reports
