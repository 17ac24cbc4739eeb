// Properties of the SQL Server to SQLite adaptation, for any text: it never changes what
// stands inside a quoted literal (the literals come out the same, in the same order); it
// is idempotent; and a text with neither N' nor DELETE comes out unchanged.
#include "fuzz_target.h"
#include "utility/sql_dialect.h"

#include <QStringList>

namespace {

// The contents of the '...' literals, read with the same quoting rules.
QStringList literals(const QString& sql) {
    QStringList out;
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"' || c == u'[') {
            const QChar close = c == u'[' ? QChar(u']') : c;
            qsizetype j = i + 1;
            while (j < sql.size()) {
                if (sql[j] == close) {
                    if (j + 1 < sql.size() && sql[j + 1] == close && close != u']') j += 2;
                    else break;
                } else {
                    ++j;
                }
            }
            if (c == u'\'') out << sql.mid(i, j - i + 1);
            i = j + 1;
        } else if (sql.mid(i, 2) == u"--") {
            const qsizetype nl = sql.indexOf(u'\n', i);
            i = nl < 0 ? sql.size() : nl + 1;
        } else if (sql.mid(i, 2) == u"/*") {
            const qsizetype end = sql.indexOf(u"*/", i + 2);
            i = end < 0 ? sql.size() : end + 2;
        } else {
            ++i;
        }
    }
    return out;
}

}  // namespace

STOCKFIX_FUZZ_TARGET(sql_dialect) {
    const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString once = utility::toSqliteDialect(sql);
    FUZZ_CHECK(utility::toSqliteDialect(once) == once);
    FUZZ_CHECK(literals(once) == literals(sql));
    if (!sql.contains(QStringLiteral("N'"), Qt::CaseInsensitive) && !sql.contains(QStringLiteral("DELETE"), Qt::CaseInsensitive))
        FUZZ_CHECK(once == sql);
    return 0;
}
