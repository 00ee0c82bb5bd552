#include "app/ui/FileDialog.h"

#include <QDir>
#include <QFileDialog>

namespace edlt::ui {
namespace {

// "Όλα|*.*|Φύλλα|*.xls;*.xlsx" to Qt's "Όλα (*)" lines.
QString qtFilter(const QString& filter)
{
    if (filter.isEmpty()) return {};
    QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        if (patterns == "*.*") patterns = "*";
        out << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return out.join(";;");
}

std::optional<QString> scripted()
{
    auto& queue = FileDialog::names();
    if (queue.empty()) return std::nullopt;
    QString name = queue.front();
    queue.pop_front();
    return name;
}

}  // namespace

std::deque<QString>& FileDialog::names()
{
    static std::deque<QString> queue;
    return queue;
}

std::optional<QString> FileDialog::open(QWidget* parent, const QString& folder, const QString& filter,
                                        const QString& title)
{
    QString name;
    if (!names().empty()) {
        name = *scripted();
    } else {
        name = QFileDialog::getOpenFileName(parent, title, folder, qtFilter(filter), nullptr,
                                            QFileDialog::DontUseNativeDialog);
    }
    if (name.isEmpty()) return std::nullopt;
    return name;
}

std::optional<QString> FileDialog::save(QWidget* parent, const QString& folder, const QString& proposedName,
                                        const QString& filter, const QString& title)
{
    QString name;
    if (!names().empty()) {
        name = *scripted();
    } else {
        // The program asks about replacing a file itself, in its own words.
        name = QFileDialog::getSaveFileName(parent, title, QDir(folder).filePath(proposedName), qtFilter(filter),
                                            nullptr, QFileDialog::DontConfirmOverwrite | QFileDialog::DontUseNativeDialog);
    }
    if (name.isEmpty()) return std::nullopt;
    return name;
}

}  // namespace edlt::ui
