// The system's 16-bit text to and from QString, which is UTF-16 as well: no conversion loss.
#pragma once

#include <QString>
#include <string>
#include <string_view>

inline QString ToQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

inline std::u16string FromQString(const QString& text) {
    return text.toStdU16String();
}
