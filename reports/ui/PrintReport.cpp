#include "reports/ui/PrintReport.h"

#include <QFile>

#include "app/ui/Text.h"
#include "reports/ui/TPrintForm.h"

namespace edlt::ui {

bool PrintReport(ReportKind kind, DeclarationSession& session, UserInterface& ui, TPrintForm& window)
{
    return ReportCommand(session, ui).Run(kind, [&window](const ReportWindowRequest& request) {
        const QString path = QFile::decodeName(QByteArray::fromStdString(request.pagePath.string()));
        window.showReport(path, fromCp(request.title), request.landscapeHint);
    });
}

}  // namespace edlt::ui
