#include "utility/password_hiding.h"

#include <QRegularExpression>

namespace utility {

QString hidePasswords(const QString& text) {
    // Only where a password stands as one, as the value of its key; "a" in "not a
    // database" is a word, not the password "a".
    static const QRegularExpression keyed(
        QStringLiteral(R"((\b(?:PWD|Password)\s*=\s*)(\{(?:[^}]|\}\})*\}|[^;\r\n]*))"),
        QRegularExpression::CaseInsensitiveOption);
    QString out;
    qsizetype from = 0;
    for (auto it = keyed.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        if (m.capturedLength(2) == 0) continue;
        out += QStringView(text).mid(from, m.capturedStart(2) - from);
        out += QStringLiteral("****");
        from = m.capturedEnd(2);
    }
    out += QStringView(text).mid(from);
    return out;
}

}  // namespace utility
