#include "gui/grid/CellText.h"

#include <QHash>
#include <array>

#include "gui/common/Text.h"

namespace edlt::ui {
namespace {

struct Tables {
    std::array<char16_t, 256> toUnicode{};
    QHash<char16_t, char> toByte;

    Tables()
    {
        for (int b = 0; b < 256; ++b) {
            QString s = fromCp(std::string(1, static_cast<char>(b)));
            char16_t u = s.size() == 1 ? s[0].unicode() : char16_t(0xFFFD);
            toUnicode[static_cast<size_t>(b)] = u;
            if (u != 0xFFFD) toByte.insert(u, static_cast<char>(b));
        }
    }
};

const Tables& tables()
{
    static const Tables t;
    return t;
}

}  // namespace

QString cellString(std::string_view cp1253)
{
    const auto& table = tables().toUnicode;
    QString out(static_cast<qsizetype>(cp1253.size()), Qt::Uninitialized);
    QChar* d = out.data();
    for (size_t i = 0; i < cp1253.size(); ++i) d[i] = QChar(table[static_cast<unsigned char>(cp1253[i])]);
    return out;
}

std::optional<char> cellByte(QChar c)
{
    const auto& map = tables().toByte;
    auto it = map.constFind(c.unicode());
    if (it == map.constEnd()) return std::nullopt;
    return *it;
}

}  // namespace edlt::ui
