#include "platform/number_format.h"

#include <QLocale>

namespace platform {

namespace {

int decimalsOf(const QString& pattern) {
    const qsizetype point = pattern.indexOf(u'.');
    return point < 0 ? 0 : int(pattern.size() - point - 1);
}

}  // namespace

QString Format(double value, const QString& pattern) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text = locale.toString(value, 'f', decimalsOf(pattern));
    // A value that rounds to zero shows no sign.
    bool allZero = true;
    for (QChar c : text)
        if (c.isDigit() && c != u'0') allZero = false;
    if (allZero && text.startsWith(locale.negativeSign())) text.remove(0, locale.negativeSign().size());
    return text;
}

QString Format(const QString& text, const QString& pattern) {
    bool ok = false;
    const double value = QLocale().toDouble(text.trimmed(), &ok);
    return ok ? Format(value, pattern) : text;
}

}  // namespace platform
