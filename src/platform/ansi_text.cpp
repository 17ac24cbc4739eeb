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
    QStringEncoder encoder("windows-1252");
    if (!encoder.isValid()) return text.toLatin1();
    QByteArray out;
    out.reserve(text.size());
    // Encode one code point at a time so an unmappable one turns into a single "?".
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        QByteArray piece = encoder.encode(QStringView(text).mid(i, len));
        if (encoder.hasError() || piece.size() != 1) {
            piece = "?";
            encoder.resetState();
        }
        out += piece;
        i += len;
    }
    return out;
}

}  // namespace platform
