#pragma once
// Open and save dialogs with a folder, a filter and a proposed name. Tests pre-answer
// them with setNextFileName (an empty name cancels).
#include <QString>
#include <QWidget>
#include <deque>
#include <optional>

namespace edlt::ui {

class FileDialog {
public:
    // A dialog starts in the folder of the last name chosen this run, else the user's
    // Documents folder, else home; folder only when none of these exists.
    // filter in the "description|pattern|description|pattern" form.
    static std::optional<QString> open(QWidget* parent, const QString& folder, const QString& filter,
                                       const QString& title = {});
    static std::optional<QString> save(QWidget* parent, const QString& folder, const QString& proposedName,
                                       const QString& filter = {}, const QString& title = {});

    static void setNextFileName(const QString& name) { names().push_back(name); }
    static std::deque<QString>& names();
    static QString startFolder(const QString& fallback);
    // "Όλα|*.*|Φύλλα (*.xls)|*.xls;*.xlsx" to Qt's "Όλα (*);;Φύλλα (*.xls *.xlsx)".
    static QString qtFilter(const QString& filter);
};

}  // namespace edlt::ui
