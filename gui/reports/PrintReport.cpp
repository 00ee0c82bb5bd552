// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/reports/PrintReport.h"

#include <QFile>

#include "gui/common/Text.h"
#include "gui/reports/ReportWindow.h"
#include "render/ReportDocument.h"

namespace edlt::ui {

bool printReport(ReportKind kind, DeclarationSession& session, UserInterface& ui, ReportWindow& window)
{
    return ReportCommand(session, ui)
        .run(
            kind,
            [&window, &session, kind](const ReportWindowRequest& request) {
                const QString path = QFile::decodeName(QByteArray::fromStdString(request.pagePath.string()));
                window.setProposedPdfName(fromCp(request.pdfName));
                if (kind == ReportKind::FirstPage)
                    window.showReport(path, fromCp(request.title), request.landscapeHint);
                else
                    // The window draws the report itself, page by page as it is looked at, from the
                    // open declaration: it shows at once, while the page file is still being written.
                    window.showDocument(reports::ReportDocument::forSession(kind, session), path, fromCp(request.title),
                                        request.landscapeHint, request.writing);
            },
            PageWriting::WhileShowing);
}

}  // namespace edlt::ui
