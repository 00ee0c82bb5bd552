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
    // filter in the "description|pattern|description|pattern" form.
    static std::optional<QString> open(QWidget* parent, const QString& folder, const QString& filter,
                                       const QString& title = {});
    static std::optional<QString> save(QWidget* parent, const QString& folder, const QString& proposedName,
                                       const QString& filter = {}, const QString& title = {});

    static void setNextFileName(const QString& name) { names().push_back(name); }
    static std::deque<QString>& names();
};

}  // namespace edlt::ui
