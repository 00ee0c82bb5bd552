// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files dropped on the main window: a spreadsheet is imported into the open declaration,
// anything else is opened as a declaration.
#include <QObject>
#include <QWidget>
#include <filesystem>
#include <functional>

class QMimeData;

namespace edlt::ui {

class FileDrop : public QObject {
    Q_OBJECT
public:
    // importAllowed tells whether a sheet may be imported now (a declaration is open).
    FileDrop(QWidget& window, std::function<bool()> importAllowed);

    // The one local file a drop carries, or empty.
    static std::filesystem::path droppedFile(const QMimeData* data);
    static bool isSheet(const std::filesystem::path& file);

signals:
    void openRequested(const std::filesystem::path& file);
    void importRequested(const std::filesystem::path& file);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool acceptable(const QMimeData* data) const;

    std::function<bool()> importAllowed_;
};

}  // namespace edlt::ui
