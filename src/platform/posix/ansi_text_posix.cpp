#include "platform/ansi_text.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

QString fromAnsi(const QByteArray& bytes) {
    QStringDecoder decoder("windows-1252");
    if (!decoder.isValid()) return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

QByteArray toAnsi(const QString& text) {
    QStringEncoder whole("windows-1252");
    if (!whole.isValid()) return text.toLatin1();
    QByteArray out = whole.encode(text);
    if (!whole.hasError()) return out;
    // Some character is not in the code page: one code point at a time, each with a fresh
    // encoder (an encoder that failed once keeps reporting the error), "?" for the missing.
    out.clear();
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        QStringEncoder one("windows-1252");
        QByteArray piece = one.encode(QStringView(text).mid(i, len));
        out += (one.hasError() || piece.size() != 1) ? QByteArray("?") : piece;
        i += len;
    }
    return out;
}

}  // namespace platform
