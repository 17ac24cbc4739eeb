#include "platform/number_format.h"

#include <QLocale>
#include <cmath>

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
    // A negative value keeps its sign even when it rounds to zero ("-0.0"); zero itself,
    // negative zero too, has none.
    const int decimals = decimalsOf(pattern);
    if (value == 0) return locale.toString(0.0, 'f', decimals);
    QString text = locale.toString(std::fabs(value), 'f', decimals);
    return value < 0 ? locale.negativeSign() + text : text;
}

QString Format(const QString& text, const QString& pattern) {
    bool ok = false;
    const double value = QLocale().toDouble(text.trimmed(), &ok);
    return ok ? Format(value, pattern) : text;
}

}  // namespace platform
