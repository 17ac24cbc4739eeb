#include "correction/formato_diario.h"

#include <QVarLengthArray>
#include <algorithm>
#include <initializer_list>

namespace correction::diario {

namespace {

// Longer texts are typed nvarchar(max), so that joining their pieces cuts nothing.
constexpr qsizetype kTextoSimpleMasLargo = 4000;

bool esControl(QChar c) { return c.unicode() < 0x20; }

QString trozoEntreComillas(QStringView run) {
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

QString trozoDeControl(QChar c, Dialecto dialect) {
    return (dialect == Dialecto::SqlServer ? QStringLiteral("NCHAR(%1)") : QStringLiteral("char(%1)")).arg(c.unicode());
}

// N'...' pieces joined with the control characters between them, in parentheses when there
// is more than one piece; on SQL Server a text past 4000 characters starts as nvarchar(max).
QString textoDeLiteralTexto(const QString& text, Dialecto dialect, bool castLong = true) {
    const bool plain = std::none_of(text.begin(), text.end(), esControl);
    if (plain && !(castLong && dialect == Dialecto::SqlServer && text.size() > kTextoSimpleMasLargo))
        return trozoEntreComillas(text);
    QStringList pieces;
    qsizetype run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!esControl(text[i])) continue;
        if (i > run) pieces << trozoEntreComillas(QStringView(text).mid(run, i - run));
        pieces << trozoDeControl(text[i], dialect);
        run = i + 1;
    }
    if (run < text.size() || pieces.isEmpty()) pieces << trozoEntreComillas(QStringView(text).mid(run));
    if (castLong && dialect == Dialecto::SqlServer && text.size() > kTextoSimpleMasLargo)
        pieces.front() = QLatin1String("CAST(") + pieces.front() + QLatin1String(" AS nvarchar(max))");
    if (pieces.size() == 1) return pieces.front();
    return u'(' + pieces.join(dialect == Dialecto::SqlServer ? QStringLiteral(" + ") : QStringLiteral(" || ")) + u')';
}

QString hexa(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex()).toUpper(); }

QString textoBinario(const QByteArray& bytes, Dialecto dialect) {
    return dialect == Dialecto::SqlServer ? QLatin1String("0x") + hexa(bytes) : QLatin1String("X'") + hexa(bytes) + u'\'';
}

const QLatin1String kTiposEspaciales[] = {QLatin1String("geography"), QLatin1String("geometry"), QLatin1String("hierarchyid")};

QString textoDeLiteralComo(const Literal& literal, Dialecto dialect, bool castLong);

// The literal a guard compares with: a typed binary compares as its bytes.
QString textoComparado(const Literal& v, Dialecto dialect, bool castLong) {
    return v.clase == Literal::Clase::BinarioConTipo ? textoBinario(v.bytes, dialect) : textoDeLiteralComo(v, dialect, castLong);
}

// Appends the guard's condition on column `c` compared with the literal text `v`.
void agregarCondicion(QString& out, const QString& c, const QString& v, Comparacion how) {
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
    case Comparacion::EsNulo: out += c + QLatin1String(" IS NULL"); return;
    case Comparacion::Simple: out += c + QLatin1String(" = ") + v; return;
    case Comparacion::Binaria: out += c + QLatin1String(" = ") + v + QLatin1String(" COLLATE BINARY"); return;
    case Comparacion::Bin2: out += c + QLatin1String(" = ") + v + bin2; return;
    case Comparacion::Bin2Longitud:
        out += c + QLatin1String(" = ") + v + bin2;
        lengths(asText);
        return;
    case Comparacion::TextoLargo:
        asText();
        out += QLatin1String(" = ") + v + bin2;
        return;
    case Comparacion::TextoLargoLongitud:
        asText();
        out += QLatin1String(" = ") + v + bin2;
        lengths(asText);
        return;
    case Comparacion::BinarioLargo:
        asBinary();
        out += QLatin1String(" = ") + v;
        return;
    case Comparacion::BinarioLongitud:
        out += c + QLatin1String(" = ") + v;
        lengths(column);
        return;
    case Comparacion::BinarioConvertidoLongitud:
        asBinary();
        out += QLatin1String(" = ") + v;
        lengths(asBinary);
        return;
    case Comparacion::TextoIso: out += QLatin1String("CONVERT(nvarchar(40), ") + c + QLatin1String(", 126) = ") + v; return;
    }
}

QString textoCondicion(const QString& c, const Literal& value, Comparacion how, Dialecto dialect, bool castLong = true) {
    QString out;
    agregarCondicion(out, c, textoComparado(value, dialect, castLong), how);
    return out;
}

// The comparisons a journal of each engine may hold, longest text first where one begins
// like another.
std::initializer_list<Comparacion> comparacionesDe(Dialecto dialect) {
    static const std::initializer_list<Comparacion> sqlite = {Comparacion::EsNulo, Comparacion::Binaria, Comparacion::Simple};
    static const std::initializer_list<Comparacion> sqlServer = {
        Comparacion::EsNulo,       Comparacion::Bin2Longitud, Comparacion::Bin2,       Comparacion::TextoLargoLongitud,
        Comparacion::TextoLargo,     Comparacion::BinarioConvertidoLongitud, Comparacion::BinarioLargo, Comparacion::BinarioLongitud,
        Comparacion::TextoIso,      Comparacion::Simple};
    return dialect == Dialecto::Sqlite ? sqlite : sqlServer;
}

bool esDigitoAscii(QChar c) { return c >= u'0' && c <= u'9'; }
bool esDigitoHex(QChar c) { return esDigitoAscii(c) || (c >= u'A' && c <= u'F'); }

// A strict reader of one line: each step consumes exactly the writer's text or fails.
class Cursor {
public:
    explicit Cursor(QStringView text) : texto_(text) {}
    bool alFinal() const { return en_ == texto_.size(); }
    bool tomar(QStringView piece) {
        if (!texto_.mid(en_).startsWith(piece)) return false;
        en_ += piece.size();
        return true;
    }
    bool tomar(QLatin1String piece) { return tomar(QStringView(QString(piece))); }
    bool empiezaCon(QLatin1String piece) const { return texto_.mid(en_).startsWith(piece); }
    qsizetype posicion() const { return en_; }

    std::optional<qsizetype> digitos() {
        const qsizetype from = en_;
        while (en_ < texto_.size() && esDigitoAscii(texto_[en_])) ++en_;
        if (en_ == from || en_ - from > 9) return std::nullopt;
        return texto_.mid(from, en_ - from).toLongLong();
    }
    std::optional<QString> tomarNombre() {
        if (!empiezaCon(QLatin1String("["))) return std::nullopt;
        qsizetype i = en_ + 1;
        for (; i < texto_.size(); ++i) {
            if (texto_[i] != u']') continue;
            if (i + 1 < texto_.size() && texto_[i + 1] == u']') {
                ++i;
                continue;
            }
            const QString name = texto_.mid(en_, i + 1 - en_).toString();
            en_ = i + 1;
            return name;
        }
        return std::nullopt;
    }
    std::optional<QString> numero() {
        const qsizetype from = en_;
        qsizetype i = en_;
        if (i < texto_.size() && texto_[i] == u'-') ++i;
        while (i < texto_.size() && (esDigitoAscii(texto_[i]) || texto_[i] == u'.' || texto_[i] == u'e' || texto_[i] == u'E' ||
                                    (i > from && (texto_[i] == u'+' || texto_[i] == u'-') &&
                                     (texto_[i - 1] == u'e' || texto_[i - 1] == u'E'))))
            ++i;
        const QStringView token = texto_.mid(from, i - from);
        if (!esTextoDeNumero(token)) return std::nullopt;
        en_ = i;
        return token.toString();
    }
    std::optional<QByteArray> bytesHex() {
        const qsizetype from = en_;
        while (en_ < texto_.size() && esDigitoHex(texto_[en_])) ++en_;
        if ((en_ - from) % 2 != 0) return std::nullopt;
        return QByteArray::fromHex(texto_.mid(from, en_ - from).toLatin1());
    }
    // N'...' with quotes doubled; the characters between.
    std::optional<QString> textoEntreComillas() {
        if (!tomar(QLatin1String("N'"))) return std::nullopt;
        QString out;
        for (qsizetype i = en_; i < texto_.size(); ++i) {
            if (texto_[i] != u'\'') {
                out += texto_[i];
                continue;
            }
            if (i + 1 < texto_.size() && texto_[i + 1] == u'\'') {
                out += u'\'';
                ++i;
                continue;
            }
            en_ = i + 1;
            return out;
        }
        return std::nullopt;
    }

private:
    QStringView texto_;
    qsizetype en_ = 0;
};

// One piece of a text literal: N'...', or NCHAR(n) / char(n) for a control character.
std::optional<QString> trozoDeTexto(Cursor& in, Dialecto dialect) {
    if (in.empiezaCon(QLatin1String("N'"))) return in.textoEntreComillas();
    if (!in.tomar(dialect == Dialecto::SqlServer ? QLatin1String("NCHAR(") : QLatin1String("char("))) return std::nullopt;
    const auto code = in.digitos();
    if (!code || *code >= 0x20 || !in.tomar(QLatin1String(")"))) return std::nullopt;
    return QString(QChar(char16_t(*code)));
}

std::optional<QString> primerTrozoDeTexto(Cursor& in, Dialecto dialect) {
    if (dialect == Dialecto::SqlServer && in.tomar(QLatin1String("CAST("))) {
        auto piece = trozoDeTexto(in, dialect);
        if (!piece || !in.tomar(QLatin1String(" AS nvarchar(max))"))) return std::nullopt;
        return piece;
    }
    return trozoDeTexto(in, dialect);
}

std::optional<Literal> literalEn(Cursor& in, Dialecto dialect) {
    if (in.tomar(QLatin1String("NULL"))) return literalNulo();
    if (in.empiezaCon(QLatin1String("N'")) || in.empiezaCon(QLatin1String("NCHAR(")) || in.empiezaCon(QLatin1String("char(")) ||
        in.empiezaCon(QLatin1String("CAST(N'")) || in.empiezaCon(QLatin1String("CAST(NCHAR("))) {
        auto piece = primerTrozoDeTexto(in, dialect);
        if (!piece) return std::nullopt;
        return literalTexto(*piece);
    }
    if (in.tomar(QLatin1String("("))) {
        auto text = primerTrozoDeTexto(in, dialect);
        const QLatin1String join = dialect == Dialecto::SqlServer ? QLatin1String(" + ") : QLatin1String(" || ");
        while (text && in.tomar(join)) {
            const auto piece = trozoDeTexto(in, dialect);
            if (!piece) return std::nullopt;
            *text += *piece;
        }
        if (!text || !in.tomar(QLatin1String(")"))) return std::nullopt;
        return literalTexto(*text);
    }
    if (dialect == Dialecto::SqlServer && in.tomar(QLatin1String("0x"))) {
        auto bytes = in.bytesHex();
        if (!bytes) return std::nullopt;
        return literalBinario(*bytes);
    }
    if (dialect == Dialecto::SqlServer && in.tomar(QLatin1String("CAST(0x"))) {
        auto bytes = in.bytesHex();
        if (!bytes || !in.tomar(QLatin1String(" AS "))) return std::nullopt;
        for (const QLatin1String type : kTiposEspaciales)
            if (in.tomar(type) && in.tomar(QLatin1String(")"))) return Literal{Literal::Clase::BinarioConTipo, type, *bytes};
        return std::nullopt;
    }
    if (dialect == Dialecto::Sqlite && in.tomar(QLatin1String("X'"))) {
        auto bytes = in.bytesHex();
        if (!bytes || !in.tomar(QLatin1String("'"))) return std::nullopt;
        return literalBinario(*bytes);
    }
    if (dialect == Dialecto::Sqlite && in.tomar(QLatin1String("CAST(X'"))) {
        auto bytes = in.bytesHex();
        if (!bytes || !in.tomar(QLatin1String("' AS TEXT)"))) return std::nullopt;
        return Literal{Literal::Clase::TextoHex, {}, *bytes};
    }
    if (auto digits = in.numero()) return literalNumero(*digits);
    return std::nullopt;
}

}  // namespace

Literal literalNulo() { return {}; }
Literal literalNumero(const QString& digits) { return {Literal::Clase::Numero, digits, {}}; }
Literal literalTexto(const QString& text) { return {Literal::Clase::Texto, text, {}}; }
Literal literalBinario(const QByteArray& bytes) { return {Literal::Clase::Binario, {}, bytes}; }

bool esTextoDeNumero(QStringView t) {
    qsizetype i = 0;
    auto run = [&] {
        const qsizetype from = i;
        while (i < t.size() && esDigitoAscii(t[i])) ++i;
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

QString textoDeLiteral(const Literal& literal, Dialecto dialect) { return textoDeLiteralComo(literal, dialect, true); }

namespace {

QString textoDeLiteralComo(const Literal& literal, Dialecto dialect, bool castLong) {
    switch (literal.clase) {
    case Literal::Clase::Nulo: return QStringLiteral("NULL");
    case Literal::Clase::Numero: return literal.texto;
    case Literal::Clase::Texto: return textoDeLiteralTexto(literal.texto, dialect, castLong);
    case Literal::Clase::Binario: return textoBinario(literal.bytes, dialect);
    case Literal::Clase::TextoHex: return QLatin1String("CAST(X'") + hexa(literal.bytes) + QLatin1String("' AS TEXT)");
    case Literal::Clase::BinarioConTipo:
        return QLatin1String("CAST(0x") + hexa(literal.bytes) + QLatin1String(" AS ") + literal.texto + u')';
    }
    return {};
}

// `castLong` false: texts past 4000 characters as plain N'...', as journals of before wrote them.
QString textoInsercionComo(const Insercion& insert, Dialecto dialect, bool castLong) {
    const QLatin1String table(kTabla);
    QString out = QLatin1String("INSERT INTO ") + table + QLatin1String(" (") + listaColumnas(insert.columnas) +
                  QLatin1String(") SELECT ");
    // Each value's text once, for the value and for its guard.
    QVarLengthArray<QString, 16> texts;
    for (size_t i = 0; i < insert.valores.size(); ++i) {
        texts.append(textoDeLiteralComo(insert.valores[i], dialect, castLong));
        if (i > 0) out += QLatin1String(", ");
        out += texts.back();
    }
    out += QLatin1String(" WHERE ");
    out += insert.copia == 1 ? QLatin1String("NOT EXISTS (SELECT 1 FROM ") : QLatin1String("(SELECT COUNT(*) FROM ");
    out += table + QLatin1String(" WHERE ");
    for (size_t i = 0; i < insert.valores.size(); ++i) {
        if (i > 0) out += QLatin1String(" AND ");
        const Literal& v = insert.valores[i];
        agregarCondicion(out, insert.columnas[qsizetype(i)],
                        v.clase == Literal::Clase::BinarioConTipo ? textoBinario(v.bytes, dialect) : texts[qsizetype(i)],
                        insert.comparaciones[i]);
    }
    out += insert.copia == 1 ? QStringLiteral(");") : QStringLiteral(") < %1;").arg(insert.copia);
    return out;
}

}  // namespace

QString textoInsercion(const Insercion& insert, Dialecto dialect) { return textoInsercionComo(insert, dialect, true); }

std::optional<Literal> leerLiteral(QStringView text, Dialecto dialect) {
    Cursor in(text);
    auto literal = literalEn(in, dialect);
    if (!literal || !in.alFinal() || textoDeLiteral(*literal, dialect) != text) return std::nullopt;
    return literal;
}

std::optional<Insercion> leerInsercion(QStringView line, Dialecto dialect, QString* why) {
    auto fail = [&](const QString& what) -> std::optional<Insercion> {
        if (why) *why = what;
        return std::nullopt;
    };
    Cursor in(line);
    Insercion row;
    if (!in.tomar(QLatin1String("INSERT INTO ") + QLatin1String(kTabla) + QLatin1String(" (")))
        return fail(QStringLiteral("no es un INSERT INTO %1").arg(QLatin1String(kTabla)));
    do {
        const auto name = in.tomarNombre();
        if (!name) return fail(QStringLiteral("la lista de columnas no es la del diario"));
        row.columnas << *name;
    } while (in.tomar(QLatin1String(", ")));
    if (!in.tomar(QLatin1String(") SELECT "))) return fail(QStringLiteral("la lista de columnas no es la del diario"));
    for (qsizetype i = 0; i < row.columnas.size(); ++i) {
        if (i > 0 && !in.tomar(QLatin1String(", "))) return fail(QStringLiteral("faltan valores"));
        const auto value = literalEn(in, dialect);
        if (!value) return fail(QStringLiteral("el valor %1 no es un literal del diario").arg(i + 1));
        row.valores.push_back(*value);
    }
    if (in.tomar(QLatin1String(" WHERE NOT EXISTS (SELECT 1 FROM ") + QLatin1String(kTabla) + QLatin1String(" WHERE "))) {
        row.copia = 1;
    } else if (in.tomar(QLatin1String(" WHERE (SELECT COUNT(*) FROM ") + QLatin1String(kTabla) + QLatin1String(" WHERE "))) {
        row.copia = 0;
    } else {
        return fail(QStringLiteral("falta la condición que evita reponer una fila que ya está"));
    }
    for (qsizetype i = 0; i < row.columnas.size(); ++i) {
        if (i > 0 && !in.tomar(QLatin1String(" AND "))) return fail(QStringLiteral("la condición no es la del diario"));
        const Literal& value = row.valores[size_t(i)];
        bool found = false;
        for (const Comparacion how : comparacionesDe(dialect)) {
            if ((how == Comparacion::EsNulo) != (value.clase == Literal::Clase::Nulo)) continue;
            if (in.tomar(QStringView(textoCondicion(row.columnas[i], value, how, dialect))) ||
                (dialect == Dialecto::SqlServer &&
                 in.tomar(QStringView(textoCondicion(row.columnas[i], value, how, dialect, false))))) {
                row.comparaciones.push_back(how);
                found = true;
                break;
            }
        }
        if (!found) return fail(QStringLiteral("la condición de la columna %1 no es la del diario").arg(row.columnas[i]));
    }
    if (row.copia == 0) {
        const auto copy = in.tomar(QLatin1String(") < ")) ? in.digitos() : std::nullopt;
        if (!copy || *copy < 2) return fail(QStringLiteral("la condición no es la del diario"));
        row.copia = int(*copy);
        if (!in.tomar(QLatin1String(";"))) return fail(QStringLiteral("la sentencia no termina donde debe"));
    } else if (!in.tomar(QLatin1String(");"))) {
        return fail(QStringLiteral("la sentencia no termina donde debe"));
    }
    if (!in.alFinal()) return fail(QStringLiteral("la línea sigue después de la sentencia"));
    // The line must be the writer's own text for what it holds, to the byte (or, for a text past
    // 4000 characters, the plain N'...' that journals of before wrote).
    if (textoInsercion(row, dialect) != line && !(dialect == Dialecto::SqlServer && textoInsercionComo(row, dialect, false) == line))
        return fail(QStringLiteral("la sentencia no tiene la forma del diario"));
    return row;
}

QString nombreEntreCorchetes(const QString& name) {
    QString n = name;
    return u'[' + n.replace(u']', QStringLiteral("]]")) + u']';
}

std::optional<QString> nombreSinCorchetes(QStringView bracketed) {
    if (bracketed.size() < 2 || bracketed.front() != u'[' || bracketed.back() != u']') return std::nullopt;
    QString name = bracketed.mid(1, bracketed.size() - 2).toString();
    name.replace(QStringLiteral("]]"), QStringLiteral("]"));
    if (nombreEntreCorchetes(name) != bracketed) return std::nullopt;
    return name;
}

QString listaColumnas(const QStringList& quotedNames) { return quotedNames.join(QStringLiteral(", ")); }

std::optional<QStringList> leerListaColumnas(QStringView text) {
    Cursor in(text);
    QStringList names;
    do {
        const auto name = in.tomarNombre();
        if (!name) return std::nullopt;
        names << *name;
    } while (in.tomar(QLatin1String(", ")));
    if (!in.alFinal()) return std::nullopt;
    return names;
}

QString lineaEncabezado(const QString& label, const QString& value) {
    return QStringLiteral("-- %1: %2").arg(label, textoComentario(value));
}

QString lineaComprobante(const Literal& tc, const Literal& id, Dialecto dialect, int rows) {
    return QStringLiteral("-- Comprobante TC = %1, IDCOMPROBANTE = %2: %3 filas")
        .arg(textoComentario(textoDeLiteral(tc, dialect)), textoComentario(textoDeLiteral(id, dialect)))
        .arg(rows);
}

QString lineaLote(int vouchers, long long rows) {
    return QStringLiteral("-- Lote confirmado: %1 comprobantes, %2 filas.").arg(vouchers).arg(rows);
}

QString lineaFinCorrida(int vouchers, long long rows) {
    return QStringLiteral("-- Fin de la corrida: %1 comprobantes, %2 filas.").arg(vouchers).arg(rows);
}

QString lineaDetencion(const QString& why) { return QStringLiteral("-- La corrida se detuvo: %1").arg(textoComentario(why)); }

QString lineaCortada() { return QStringLiteral("-- La línea anterior quedó cortada y no se repone."); }

QString lineaIdentidad(bool on) {
    return QStringLiteral("SET IDENTITY_INSERT %1 %2;").arg(QLatin1String(kTabla), on ? u"ON" : u"OFF");
}

QString nombreMotor(Dialecto dialect) {
    return dialect == Dialecto::Sqlite ? QStringLiteral("SQLite") : QStringLiteral("SQL Server");
}

QString textoComentario(QString text) {
    for (QChar& c : text)
        if (esControl(c) || c == QChar(0x2028) || c == QChar(0x2029) || c == QChar(0x85)) c = u' ';
    return text;
}

}  // namespace correction::diario
