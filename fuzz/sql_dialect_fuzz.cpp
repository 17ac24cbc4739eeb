// Properties of the SQL Server to SQLite adaptation, for any text: every quoted run
// ('...', "...", [...]) and every comment comes out the same, in the same order; no N'
// prefix is left outside them; every DELETE followed by anything gets FROM; the adaptation
// is idempotent; and a text with neither N' nor DELETE comes out unchanged.
#include "fuzz_target.h"
#include "utility/sql_dialect.h"

#include <QStringList>

namespace {

bool wordChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'#' || c == u'$'; }

// The text read with the quoting and comment rules: its quoted runs and comments, and
// whether an N' or a DELETE without FROM stands outside them.
struct Reading {
    QStringList untouchable;
    bool nPrefix = false;
    bool deleteWithoutFrom = false;
};

qsizetype gapEnd(const QString& sql, qsizetype i) {
    while (i < sql.size()) {
        if (sql[i].isSpace()) ++i;
        else if (sql.mid(i, 2) == u"--") {
            const qsizetype nl = sql.indexOf(u'\n', i);
            i = nl < 0 ? sql.size() : nl + 1;
        } else if (sql.mid(i, 2) == u"/*") {
            const qsizetype end = sql.indexOf(u"*/", i + 2);
            i = end < 0 ? sql.size() : end + 2;
        } else break;
    }
    return i;
}

Reading read(const QString& sql) {
    Reading r;
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
            r.untouchable << sql.mid(i, j - i + 1);
            i = j + 1;
        } else if (sql.mid(i, 2) == u"--" || sql.mid(i, 2) == u"/*") {
            const qsizetype end = sql.mid(i, 2) == u"--" ? (sql.indexOf(u'\n', i) < 0 ? sql.size() : sql.indexOf(u'\n', i) + 1)
                                                          : (sql.indexOf(u"*/", i + 2) < 0 ? sql.size() : sql.indexOf(u"*/", i + 2) + 2);
            r.untouchable << sql.mid(i, end - i);
            i = end;
        } else if (wordChar(c)) {
            qsizetype end = i;
            while (end < sql.size() && wordChar(sql[end])) ++end;
            const QStringView word = QStringView(sql).mid(i, end - i);
            if (word.compare(u"N", Qt::CaseInsensitive) == 0 && end < sql.size() && sql[end] == u'\'') r.nPrefix = true;
            if (word.compare(u"DELETE", Qt::CaseInsensitive) == 0) {
                const qsizetype next = gapEnd(sql, end);
                qsizetype after = next;
                while (after < sql.size() && wordChar(sql[after])) ++after;
                if (next < sql.size() && QStringView(sql).mid(next, after - next).compare(u"FROM", Qt::CaseInsensitive) != 0)
                    r.deleteWithoutFrom = true;
            }
            i = end;
        } else {
            ++i;
        }
    }
    return r;
}

}  // namespace

STOCKFIX_FUZZ_TARGET(sql_dialect) {
    const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString once = utility::toSqliteDialect(sql);
    FUZZ_CHECK(utility::toSqliteDialect(once) == once);
    const Reading before = read(sql), after = read(once);
    FUZZ_CHECK(after.untouchable == before.untouchable);
    FUZZ_CHECK(!after.nPrefix);
    FUZZ_CHECK(!after.deleteWithoutFrom);
    if (!sql.contains(QStringLiteral("N'"), Qt::CaseInsensitive) && !sql.contains(QStringLiteral("DELETE"), Qt::CaseInsensitive))
        FUZZ_CHECK(once == sql);
    return 0;
}
