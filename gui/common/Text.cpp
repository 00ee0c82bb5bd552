#include "gui/common/Text.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace edlt::ui {

QString fromCp(const std::string& cp1253)
{
    QStringDecoder decoder("windows-1253");
    return decoder(QByteArrayView(cp1253.data(), static_cast<qsizetype>(cp1253.size())));
}

std::optional<std::string> toCp(const QString& text)
{
    QStringEncoder encoder("windows-1253");
    QByteArray bytes = encoder(text);
    if (encoder.hasError()) return std::nullopt;
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace edlt::ui
