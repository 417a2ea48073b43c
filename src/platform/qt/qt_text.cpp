#include "platform/qt/qt_text.h"

namespace zenvik {

QString toQString(const Text& narrow) {
    if (auto utf8 = text::toUtf8(narrow)) return QString::fromStdString(*utf8);
    // Bytes that are not code page 936 still show, as replacement characters.
    return QString::fromUtf8(QByteArray::fromStdString(narrow));
}

std::optional<Text> toNarrow(const QString& shown) { return text::fromUtf8(shown.toStdString()); }

Text toNarrowLossy(const QString& shown) {
    if (auto narrow = toNarrow(shown)) return *narrow;
    Text out;
    for (QChar c : shown) {
        if (c.isSurrogate()) {
            if (c.isHighSurrogate()) out += '?';
            continue;
        }
        out += text::fromUtf8(QString(c).toStdString()).value_or("?");
    }
    return out;
}

} // namespace zenvik
