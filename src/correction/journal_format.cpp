#include "correction/journal_format.h"

#include <QVarLengthArray>
#include <algorithm>
#include <initializer_list>

namespace correction::journal {

namespace {

// Longer texts are typed nvarchar(max), so that joining their pieces cuts nothing.
constexpr qsizetype kLongestPlainText = 4000;

bool isControl(QChar c) { return c.unicode() < 0x20; }

QString quotedPiece(QStringView run) {
    QString piece;
    piece.reserve(run.size() + 3);
    piece += QLatin1String("N'");
    for (const QChar c : run) {
        if (c == u'\'') piece += u'\'';
        piece += c;
    }
    piece += u'\'';
    return piece;
}

QString controlPiece(QChar c, Dialect dialect) {
    return (dialect == Dialect::SqlServer ? QStringLiteral("NCHAR(%1)") : QStringLiteral("char(%1)")).arg(c.unicode());
}

// N'...' pieces joined with the control characters between them, in parentheses when there
// is more than one piece; on SQL Server a text past 4000 characters starts as nvarchar(max).
QString textLiteralText(const QString& text, Dialect dialect, bool castLong = true) {
    const bool plain = std::none_of(text.begin(), text.end(), isControl);
    if (plain && !(castLong && dialect == Dialect::SqlServer && text.size() > kLongestPlainText)) return quotedPiece(text);
    QStringList pieces;
    qsizetype run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isControl(text[i])) continue;
        if (i > run) pieces << quotedPiece(QStringView(text).mid(run, i - run));
        pieces << controlPiece(text[i], dialect);
        run = i + 1;
    }
    if (run < text.size() || pieces.isEmpty()) pieces << quotedPiece(QStringView(text).mid(run));
    if (castLong && dialect == Dialect::SqlServer && text.size() > kLongestPlainText)
        pieces.front() = QLatin1String("CAST(") + pieces.front() + QLatin1String(" AS nvarchar(max))");
    if (pieces.size() == 1) return pieces.front();
    return u'(' + pieces.join(dialect == Dialect::SqlServer ? QStringLiteral(" + ") : QStringLiteral(" || ")) + u')';
}

QString hex(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex()).toUpper(); }

QString binaryText(const QByteArray& bytes, Dialect dialect) {
    return dialect == Dialect::SqlServer ? QLatin1String("0x") + hex(bytes) : QLatin1String("X'") + hex(bytes) + u'\'';
}

const QLatin1String kSpatialTypes[] = {QLatin1String("geography"), QLatin1String("geometry"), QLatin1String("hierarchyid")};

QString literalTextAs(const Literal& literal, Dialect dialect, bool castLong);

// The literal a guard compares with: a typed binary compares as its bytes.
QString comparedText(const Literal& v, Dialect dialect, bool castLong) {
    return v.kind == Literal::Kind::TypedBinary ? binaryText(v.bytes, dialect) : literalTextAs(v, dialect, castLong);
}

// Appends the guard's condition on column `c` compared with the literal text `v`.
void appendCondition(QString& out, const QString& c, const QString& v, Comparison how) {
    const QLatin1String bin2(" COLLATE Latin1_General_BIN2");
    auto cast = [&](QLatin1String type) { out += QLatin1String("CAST(") + c + QLatin1String(" AS ") + type + u')'; };
    auto lengths = [&](auto&& of) {
        out += QLatin1String(" AND DATALENGTH(");
        of();
        out += QLatin1String(") = DATALENGTH(") + v + u')';
    };
    const auto column = [&] { out += c; };
    const auto asText = [&] { cast(QLatin1String("nvarchar(max)")); };
    const auto asBinary = [&] { cast(QLatin1String("varbinary(max)")); };
    switch (how) {
    case Comparison::IsNull: out += c + QLatin1String(" IS NULL"); return;
    case Comparison::Plain: out += c + QLatin1String(" = ") + v; return;
    case Comparison::Binary: out += c + QLatin1String(" = ") + v + QLatin1String(" COLLATE BINARY"); return;
    case Comparison::Bin2: out += c + QLatin1String(" = ") + v + bin2; return;
    case Comparison::Bin2Length:
        out += c + QLatin1String(" = ") + v + bin2;
        lengths(asText);
        return;
    case Comparison::LongText:
        asText();
        out += QLatin1String(" = ") + v + bin2;
        return;
    case Comparison::LongTextLength:
        asText();
        out += QLatin1String(" = ") + v + bin2;
        lengths(asText);
        return;
    case Comparison::LongBinary:
        asBinary();
        out += QLatin1String(" = ") + v;
        return;
    case Comparison::BinaryLength:
        out += c + QLatin1String(" = ") + v;
        lengths(column);
        return;
    case Comparison::CastBinaryLength:
        asBinary();
        out += QLatin1String(" = ") + v;
        lengths(asBinary);
        return;
    case Comparison::IsoText: out += QLatin1String("CONVERT(nvarchar(40), ") + c + QLatin1String(", 126) = ") + v; return;
    }
}

QString conditionText(const QString& c, const Literal& value, Comparison how, Dialect dialect, bool castLong = true) {
    QString out;
    appendCondition(out, c, comparedText(value, dialect, castLong), how);
    return out;
}

// The comparisons a journal of each engine may hold, longest text first where one begins
// like another.
std::initializer_list<Comparison> comparisonsOf(Dialect dialect) {
    static const std::initializer_list<Comparison> sqlite = {Comparison::IsNull, Comparison::Binary, Comparison::Plain};
    static const std::initializer_list<Comparison> sqlServer = {
        Comparison::IsNull,       Comparison::Bin2Length, Comparison::Bin2,       Comparison::LongTextLength,
        Comparison::LongText,     Comparison::CastBinaryLength, Comparison::LongBinary, Comparison::BinaryLength,
        Comparison::IsoText,      Comparison::Plain};
    return dialect == Dialect::Sqlite ? sqlite : sqlServer;
}

bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool isHexDigit(QChar c) { return isAsciiDigit(c) || (c >= u'A' && c <= u'F'); }

// A strict reader of one line: each step consumes exactly the writer's text or fails.
class Cursor {
public:
    explicit Cursor(QStringView text) : text_(text) {}
    bool atEnd() const { return at_ == text_.size(); }
    bool take(QStringView piece) {
        if (!text_.mid(at_).startsWith(piece)) return false;
        at_ += piece.size();
        return true;
    }
    bool take(QLatin1String piece) { return take(QStringView(QString(piece))); }
    bool peek(QLatin1String piece) const { return text_.mid(at_).startsWith(piece); }
    qsizetype position() const { return at_; }

    std::optional<qsizetype> digits() {
        const qsizetype from = at_;
        while (at_ < text_.size() && isAsciiDigit(text_[at_])) ++at_;
        if (at_ == from || at_ - from > 9) return std::nullopt;
        return text_.mid(from, at_ - from).toLongLong();
    }
    std::optional<QString> bracketedName() {
        if (!peek(QLatin1String("["))) return std::nullopt;
        qsizetype i = at_ + 1;
        for (; i < text_.size(); ++i) {
            if (text_[i] != u']') continue;
            if (i + 1 < text_.size() && text_[i + 1] == u']') {
                ++i;
                continue;
            }
            const QString name = text_.mid(at_, i + 1 - at_).toString();
            at_ = i + 1;
            return name;
        }
        return std::nullopt;
    }
    std::optional<QString> number() {
        const qsizetype from = at_;
        qsizetype i = at_;
        if (i < text_.size() && text_[i] == u'-') ++i;
        while (i < text_.size() && (isAsciiDigit(text_[i]) || text_[i] == u'.' || text_[i] == u'e' || text_[i] == u'E' ||
                                    (i > from && (text_[i] == u'+' || text_[i] == u'-') &&
                                     (text_[i - 1] == u'e' || text_[i - 1] == u'E'))))
            ++i;
        const QStringView token = text_.mid(from, i - from);
        if (!isNumberText(token)) return std::nullopt;
        at_ = i;
        return token.toString();
    }
    std::optional<QByteArray> hexBytes() {
        const qsizetype from = at_;
        while (at_ < text_.size() && isHexDigit(text_[at_])) ++at_;
        if ((at_ - from) % 2 != 0) return std::nullopt;
        return QByteArray::fromHex(text_.mid(from, at_ - from).toLatin1());
    }
    // N'...' with quotes doubled; the characters between.
    std::optional<QString> quotedText() {
        if (!take(QLatin1String("N'"))) return std::nullopt;
        QString out;
        for (qsizetype i = at_; i < text_.size(); ++i) {
            if (text_[i] != u'\'') {
                out += text_[i];
                continue;
            }
            if (i + 1 < text_.size() && text_[i + 1] == u'\'') {
                out += u'\'';
                ++i;
                continue;
            }
            at_ = i + 1;
            return out;
        }
        return std::nullopt;
    }

private:
    QStringView text_;
    qsizetype at_ = 0;
};

// One piece of a text literal: N'...', or NCHAR(n) / char(n) for a control character.
std::optional<QString> textPiece(Cursor& in, Dialect dialect) {
    if (in.peek(QLatin1String("N'"))) return in.quotedText();
    if (!in.take(dialect == Dialect::SqlServer ? QLatin1String("NCHAR(") : QLatin1String("char("))) return std::nullopt;
    const auto code = in.digits();
    if (!code || *code >= 0x20 || !in.take(QLatin1String(")"))) return std::nullopt;
    return QString(QChar(char16_t(*code)));
}

std::optional<QString> firstTextPiece(Cursor& in, Dialect dialect) {
    if (dialect == Dialect::SqlServer && in.take(QLatin1String("CAST("))) {
        auto piece = textPiece(in, dialect);
        if (!piece || !in.take(QLatin1String(" AS nvarchar(max))"))) return std::nullopt;
        return piece;
    }
    return textPiece(in, dialect);
}

std::optional<Literal> literalAt(Cursor& in, Dialect dialect) {
    if (in.take(QLatin1String("NULL"))) return nullLiteral();
    if (in.peek(QLatin1String("N'")) || in.peek(QLatin1String("NCHAR(")) || in.peek(QLatin1String("char(")) ||
        in.peek(QLatin1String("CAST(N'")) || in.peek(QLatin1String("CAST(NCHAR("))) {
        auto piece = firstTextPiece(in, dialect);
        if (!piece) return std::nullopt;
        return textLiteral(*piece);
    }
    if (in.take(QLatin1String("("))) {
        auto text = firstTextPiece(in, dialect);
        const QLatin1String join = dialect == Dialect::SqlServer ? QLatin1String(" + ") : QLatin1String(" || ");
        while (text && in.take(join)) {
            const auto piece = textPiece(in, dialect);
            if (!piece) return std::nullopt;
            *text += *piece;
        }
        if (!text || !in.take(QLatin1String(")"))) return std::nullopt;
        return textLiteral(*text);
    }
    if (dialect == Dialect::SqlServer && in.take(QLatin1String("0x"))) {
        auto bytes = in.hexBytes();
        if (!bytes) return std::nullopt;
        return binaryLiteral(*bytes);
    }
    if (dialect == Dialect::SqlServer && in.take(QLatin1String("CAST(0x"))) {
        auto bytes = in.hexBytes();
        if (!bytes || !in.take(QLatin1String(" AS "))) return std::nullopt;
        for (const QLatin1String type : kSpatialTypes)
            if (in.take(type) && in.take(QLatin1String(")"))) return Literal{Literal::Kind::TypedBinary, type, *bytes};
        return std::nullopt;
    }
    if (dialect == Dialect::Sqlite && in.take(QLatin1String("X'"))) {
        auto bytes = in.hexBytes();
        if (!bytes || !in.take(QLatin1String("'"))) return std::nullopt;
        return binaryLiteral(*bytes);
    }
    if (dialect == Dialect::Sqlite && in.take(QLatin1String("CAST(X'"))) {
        auto bytes = in.hexBytes();
        if (!bytes || !in.take(QLatin1String("' AS TEXT)"))) return std::nullopt;
        return Literal{Literal::Kind::HexText, {}, *bytes};
    }
    if (auto digits = in.number()) return numberLiteral(*digits);
    return std::nullopt;
}

}  // namespace

Literal nullLiteral() { return {}; }
Literal numberLiteral(const QString& digits) { return {Literal::Kind::Number, digits, {}}; }
Literal textLiteral(const QString& text) { return {Literal::Kind::Text, text, {}}; }
Literal binaryLiteral(const QByteArray& bytes) { return {Literal::Kind::Binary, {}, bytes}; }

bool isNumberText(QStringView t) {
    qsizetype i = 0;
    auto run = [&] {
        const qsizetype from = i;
        while (i < t.size() && isAsciiDigit(t[i])) ++i;
        return i > from;
    };
    if (i < t.size() && t[i] == u'-') ++i;
    if (!run()) return false;
    if (i < t.size() && t[i] == u'.') {
        ++i;
        if (!run()) return false;
    }
    if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) ++i;
        if (!run()) return false;
    }
    return i == t.size();
}

QString literalText(const Literal& literal, Dialect dialect) { return literalTextAs(literal, dialect, true); }

namespace {

QString literalTextAs(const Literal& literal, Dialect dialect, bool castLong) {
    switch (literal.kind) {
    case Literal::Kind::Null: return QStringLiteral("NULL");
    case Literal::Kind::Number: return literal.text;
    case Literal::Kind::Text: return textLiteralText(literal.text, dialect, castLong);
    case Literal::Kind::Binary: return binaryText(literal.bytes, dialect);
    case Literal::Kind::HexText: return QLatin1String("CAST(X'") + hex(literal.bytes) + QLatin1String("' AS TEXT)");
    case Literal::Kind::TypedBinary:
        return QLatin1String("CAST(0x") + hex(literal.bytes) + QLatin1String(" AS ") + literal.text + u')';
    }
    return {};
}

// `castLong` false: texts past 4000 characters as plain N'...', as journals of before wrote them.
QString insertTextAs(const Insert& insert, Dialect dialect, bool castLong) {
    const QLatin1String table(kTable);
    QString out = QLatin1String("INSERT INTO ") + table + QLatin1String(" (") + columnList(insert.columns) +
                  QLatin1String(") SELECT ");
    // Each value's text once, for the value and for its guard.
    QVarLengthArray<QString, 16> texts;
    for (size_t i = 0; i < insert.values.size(); ++i) {
        texts.append(literalTextAs(insert.values[i], dialect, castLong));
        if (i > 0) out += QLatin1String(", ");
        out += texts.back();
    }
    out += QLatin1String(" WHERE ");
    out += insert.copy == 1 ? QLatin1String("NOT EXISTS (SELECT 1 FROM ") : QLatin1String("(SELECT COUNT(*) FROM ");
    out += table + QLatin1String(" WHERE ");
    for (size_t i = 0; i < insert.values.size(); ++i) {
        if (i > 0) out += QLatin1String(" AND ");
        const Literal& v = insert.values[i];
        appendCondition(out, insert.columns[qsizetype(i)],
                        v.kind == Literal::Kind::TypedBinary ? binaryText(v.bytes, dialect) : texts[qsizetype(i)],
                        insert.comparisons[i]);
    }
    out += insert.copy == 1 ? QStringLiteral(");") : QStringLiteral(") < %1;").arg(insert.copy);
    return out;
}

}  // namespace

QString insertText(const Insert& insert, Dialect dialect) { return insertTextAs(insert, dialect, true); }

std::optional<Literal> parseLiteral(QStringView text, Dialect dialect) {
    Cursor in(text);
    auto literal = literalAt(in, dialect);
    if (!literal || !in.atEnd() || literalText(*literal, dialect) != text) return std::nullopt;
    return literal;
}

std::optional<Insert> parseInsert(QStringView line, Dialect dialect, QString* why) {
    auto fail = [&](const QString& what) -> std::optional<Insert> {
        if (why) *why = what;
        return std::nullopt;
    };
    Cursor in(line);
    Insert row;
    if (!in.take(QLatin1String("INSERT INTO ") + QLatin1String(kTable) + QLatin1String(" (")))
        return fail(QStringLiteral("no es un INSERT INTO %1").arg(QLatin1String(kTable)));
    do {
        const auto name = in.bracketedName();
        if (!name) return fail(QStringLiteral("la lista de columnas no es la del diario"));
        row.columns << *name;
    } while (in.take(QLatin1String(", ")));
    if (!in.take(QLatin1String(") SELECT "))) return fail(QStringLiteral("la lista de columnas no es la del diario"));
    for (qsizetype i = 0; i < row.columns.size(); ++i) {
        if (i > 0 && !in.take(QLatin1String(", "))) return fail(QStringLiteral("faltan valores"));
        const auto value = literalAt(in, dialect);
        if (!value) return fail(QStringLiteral("el valor %1 no es un literal del diario").arg(i + 1));
        row.values.push_back(*value);
    }
    if (in.take(QLatin1String(" WHERE NOT EXISTS (SELECT 1 FROM ") + QLatin1String(kTable) + QLatin1String(" WHERE "))) {
        row.copy = 1;
    } else if (in.take(QLatin1String(" WHERE (SELECT COUNT(*) FROM ") + QLatin1String(kTable) + QLatin1String(" WHERE "))) {
        row.copy = 0;
    } else {
        return fail(QStringLiteral("falta la condición que evita reponer una fila que ya está"));
    }
    for (qsizetype i = 0; i < row.columns.size(); ++i) {
        if (i > 0 && !in.take(QLatin1String(" AND "))) return fail(QStringLiteral("la condición no es la del diario"));
        const Literal& value = row.values[size_t(i)];
        bool found = false;
        for (const Comparison how : comparisonsOf(dialect)) {
            if ((how == Comparison::IsNull) != (value.kind == Literal::Kind::Null)) continue;
            if (in.take(QStringView(conditionText(row.columns[i], value, how, dialect))) ||
                (dialect == Dialect::SqlServer &&
                 in.take(QStringView(conditionText(row.columns[i], value, how, dialect, false))))) {
                row.comparisons.push_back(how);
                found = true;
                break;
            }
        }
        if (!found) return fail(QStringLiteral("la condición de la columna %1 no es la del diario").arg(row.columns[i]));
    }
    if (row.copy == 0) {
        const auto copy = in.take(QLatin1String(") < ")) ? in.digits() : std::nullopt;
        if (!copy || *copy < 2) return fail(QStringLiteral("la condición no es la del diario"));
        row.copy = int(*copy);
        if (!in.take(QLatin1String(";"))) return fail(QStringLiteral("la sentencia no termina donde debe"));
    } else if (!in.take(QLatin1String(");"))) {
        return fail(QStringLiteral("la sentencia no termina donde debe"));
    }
    if (!in.atEnd()) return fail(QStringLiteral("la línea sigue después de la sentencia"));
    // The line must be the writer's own text for what it holds, to the byte (or, for a text past
    // 4000 characters, the plain N'...' that journals of before wrote).
    if (insertText(row, dialect) != line && !(dialect == Dialect::SqlServer && insertTextAs(row, dialect, false) == line))
        return fail(QStringLiteral("la sentencia no tiene la forma del diario"));
    return row;
}

QString quotedName(const QString& name) {
    QString n = name;
    return u'[' + n.replace(u']', QStringLiteral("]]")) + u']';
}

std::optional<QString> unquotedName(QStringView bracketed) {
    if (bracketed.size() < 2 || bracketed.front() != u'[' || bracketed.back() != u']') return std::nullopt;
    QString name = bracketed.mid(1, bracketed.size() - 2).toString();
    name.replace(QStringLiteral("]]"), QStringLiteral("]"));
    if (quotedName(name) != bracketed) return std::nullopt;
    return name;
}

QString columnList(const QStringList& quotedNames) { return quotedNames.join(QStringLiteral(", ")); }

std::optional<QStringList> parseColumnList(QStringView text) {
    Cursor in(text);
    QStringList names;
    do {
        const auto name = in.bracketedName();
        if (!name) return std::nullopt;
        names << *name;
    } while (in.take(QLatin1String(", ")));
    if (!in.atEnd()) return std::nullopt;
    return names;
}

QString headerLine(const QString& label, const QString& value) {
    return QStringLiteral("-- %1: %2").arg(label, commentText(value));
}

QString voucherLine(const Literal& tc, const Literal& id, Dialect dialect, int rows) {
    return QStringLiteral("-- Comprobante TC = %1, IDCOMPROBANTE = %2: %3 filas")
        .arg(commentText(literalText(tc, dialect)), commentText(literalText(id, dialect)))
        .arg(rows);
}

QString batchLine(int vouchers, long long rows) {
    return QStringLiteral("-- Lote confirmado: %1 comprobantes, %2 filas.").arg(vouchers).arg(rows);
}

QString runEndLine(int vouchers, long long rows) {
    return QStringLiteral("-- Fin de la corrida: %1 comprobantes, %2 filas.").arg(vouchers).arg(rows);
}

QString stopLine(const QString& why) { return QStringLiteral("-- La corrida se detuvo: %1").arg(commentText(why)); }

QString cutLine() { return QStringLiteral("-- La línea anterior quedó cortada y no se repone."); }

QString identityLine(bool on) {
    return QStringLiteral("SET IDENTITY_INSERT %1 %2;").arg(QLatin1String(kTable), on ? u"ON" : u"OFF");
}

QString engineName(Dialect dialect) {
    return dialect == Dialect::Sqlite ? QStringLiteral("SQLite") : QStringLiteral("SQL Server");
}

QString commentText(QString text) {
    for (QChar& c : text)
        if (isControl(c) || c == QChar(0x2028) || c == QChar(0x2029) || c == QChar(0x85)) c = u' ';
    return text;
}

}  // namespace correction::journal
