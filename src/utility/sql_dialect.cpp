#include "utility/sql_dialect.h"

#include <algorithm>

namespace utility {

namespace {

bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'#' || c == u'$'; }

// End (exclusive) of a quoted run that starts at `i` and closes with `close`; a doubled
// closing character stands for itself. An unterminated run goes to the end.
qsizetype quotedEnd(const QString& s, qsizetype i, QChar close) {
    qsizetype j = i + 1;
    while (j < s.size()) {
        if (s[j] == close) {
            if (j + 1 < s.size() && s[j + 1] == close && close != u']') j += 2;
            else return j + 1;
        } else {
            ++j;
        }
    }
    return s.size();
}

// End of blanks and comments from `i`.
qsizetype skipGap(const QString& s, qsizetype i) {
    while (i < s.size()) {
        if (s[i].isSpace()) ++i;
        else if (s.mid(i, 2) == u"--") {
            qsizetype nl = s.indexOf(u'\n', i);
            i = nl < 0 ? s.size() : nl + 1;
        } else if (s.mid(i, 2) == u"/*") {
            qsizetype end = s.indexOf(u"*/", i + 2);
            i = end < 0 ? s.size() : end + 2;
        } else break;
    }
    return i;
}

}  // namespace

QString toSqliteDialect(const QString& sql) {
    QString out;
    out.reserve(sql.size() + 8);
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"' || c == u'[') {
            const qsizetype end = quotedEnd(sql, i, c == u'[' ? QChar(u']') : c);
            out += QStringView(sql).mid(i, end - i);
            i = end;
        } else if (sql.mid(i, 2) == u"--" || sql.mid(i, 2) == u"/*") {
            const qsizetype end = skipGap(sql, i);
            out += QStringView(sql).mid(i, end - i);
            i = end;
        } else if (isWordChar(c)) {
            qsizetype end = i;
            while (end < sql.size() && isWordChar(sql[end])) ++end;
            const QStringView word = QStringView(sql).mid(i, end - i);
            if (word.compare(u"N", Qt::CaseInsensitive) == 0 && end < sql.size() && sql[end] == u'\'') {
                // N'...' becomes '...'; right after another literal a blank keeps the two
                // apart ('a'N'b' must not turn into the single literal 'a''b').
                if (out.endsWith(u'\'')) out += u' ';
                i = end;
                continue;
            }
            out += word;
            if (word.compare(u"DELETE", Qt::CaseInsensitive) == 0) {
                const qsizetype next = skipGap(sql, end);
                qsizetype wordEnd = next;
                while (wordEnd < sql.size() && isWordChar(sql[wordEnd])) ++wordEnd;
                const QStringView following = QStringView(sql).mid(next, wordEnd - next);
                if (following.compare(u"FROM", Qt::CaseInsensitive) != 0 && next < sql.size()) out += u" FROM";
            }
            i = end;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

QString withNarrowLiterals(const QString& sql, bool* sendable) {
    *sendable = true;
    if (std::none_of(sql.begin(), sql.end(), [](QChar c) { return c.isSurrogate(); })) return sql;
    QString out;
    out.reserve(sql.size());
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"' || c == u'[') {
            const qsizetype end = quotedEnd(sql, i, c == u'[' ? QChar(u']') : c);
            const QStringView run = QStringView(sql).mid(i, end - i);
            const bool wide = std::any_of(run.begin(), run.end(), [](QChar r) { return r.isSurrogate(); });
            if (wide && c == u'\'' && end - i >= 2 && sql[end - 1] == u'\'') {
                QString text = run.mid(1, run.size() - 2).toString();
                text.replace(QStringLiteral("''"), QStringLiteral("'"));
                out += QStringLiteral("CAST(X'%1' AS TEXT)").arg(QString::fromLatin1(text.toUtf8().toHex()).toUpper());
            } else {
                if (wide) *sendable = false;  // a name or an unterminated literal
                out += run;
            }
            i = end;
        } else {
            if (c.isSurrogate()) *sendable = false;
            out += c;
            ++i;
        }
    }
    return out;
}

}  // namespace utility
