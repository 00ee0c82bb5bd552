// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Open and save dialogs with a folder, a filter and a proposed name. Tests pre-answer
// them with setNextFileName (an empty name cancels).
#include <QFileDialog>
#include <QString>
#include <QWidget>
#include <deque>
#include <memory>
#include <optional>

namespace edlt::ui {

class FileDialog {
public:
    // A dialog starts in the folder of the last name chosen this run, else the user's
    // Documents folder, else home; folder only when none of these exists.
    // filter in the "description|pattern|description|pattern" form.
    static std::optional<QString> open(QWidget* parent, const QString& folder, const QString& filter,
                                       const QString& title = {});
    // fileFolder: folder is the proposed file's own, where the dialog starts when it exists.
    static std::optional<QString> save(QWidget* parent, const QString& folder, const QString& proposedName,
                                       const QString& filter = {}, const QString& title = {}, bool fileFolder = false);

    // The dialog open and save show, not yet shown: Qt's own, with its places list wide
    // enough for the longest place name. path is a folder, or a folder and a proposed name.
    static std::unique_ptr<QFileDialog> make(QWidget* parent, const QString& title, const QString& path,
                                             const QString& filter, QFileDialog::AcceptMode mode);

    static void setNextFileName(const QString& name) { names().push_back(name); }
    static std::deque<QString>& names();
    // The last save dialog's proposed path (folder and name), for tests.
    static QString& lastProposedPath();
    static QString startFolder(const QString& fallback);
    // "Όλα|*.*|Φύλλα (*.xls)|*.xls;*.xlsx" to Qt's "Όλα (*);;Φύλλα (*.xls *.xlsx)".
    static QString qtFilter(const QString& filter);
};

}  // namespace edlt::ui
