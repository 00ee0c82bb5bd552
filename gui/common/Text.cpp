// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/Text.h"

#include "core/base/Cp1253.h"

namespace edlt::ui {

QString fromCp(std::string_view cp1253)
{
    QString out(static_cast<qsizetype>(cp1253.size()), Qt::Uninitialized);
    QChar* d = out.data();
    for (size_t i = 0; i < cp1253.size(); ++i) d[i] = QChar(cp1253::toUnicode(cp1253[i]));
    return out;
}

std::optional<std::string> toCp(const QString& text)
{
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    // A character outside the Basic Multilingual Plane comes as a surrogate pair, which
    // has no byte either.
    for (QChar c : text) {
        const std::optional<char> b = cp1253::fromUnicode(c.unicode());
        if (!b) return std::nullopt;
        out += *b;
    }
    return out;
}

}  // namespace edlt::ui
