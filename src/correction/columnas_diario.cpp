#include "correction/columnas_diario.h"

#include "platform/runtime_error.h"
#include "utility/data_access.h"

#include <QDate>
#include <QRegularExpression>
#include <algorithm>
#include <QDateTime>
#include <QTime>
#include <charconv>
#include <cmath>

namespace correction {

ColumnasDiario columnasDiarioLeidas(utility::DataAccess& session, Dialecto dialect);

using diario::Comparacion;
using diario::Literal;
using Clase = ColumnaDiario::Clase;

namespace {

[[noreturn]] void noSePuedeEscribir(const QString& column, const QString& why) {
    throw platform::RuntimeError(platform::kDatabaseError,
                                 QStringLiteral("la columna %1 de %2 %3: el diario no podría reponerla exactamente, "
                                                "así que no se borra nada")
                                     .arg(column, QLatin1String(diario::kTabla), why));
}

// The shortest text that reads back as the same double, always with a period or an
// exponent so that it stays a floating-point number.
QString textoDeDoble(double d) {
    if (std::isinf(d)) return d > 0 ? QStringLiteral("9e999") : QStringLiteral("-9e999");
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, d);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    if (!text.contains(u'.') && !text.contains(u'e')) text += QStringLiteral(".0");
    return text;
}

// SQL Server's base type names and how each travels.
std::optional<Clase> claseDeTipo(const QString& type) {
    static const struct {
        const char* name;
        Clase kind;
    } kinds[] = {
        {"bigint", Clase::Numero},        {"int", Clase::Numero},          {"smallint", Clase::Numero},
        {"tinyint", Clase::Numero},       {"bit", Clase::Numero},          {"float", Clase::Numero},
        {"real", Clase::Numero},          {"decimal", Clase::Exacto},       {"numeric", Clase::Exacto},
        {"money", Clase::Exacto},          {"smallmoney", Clase::Exacto},    {"char", Clase::Texto},
        {"varchar", Clase::Texto},         {"nchar", Clase::Texto},          {"nvarchar", Clase::Texto},
        {"sysname", Clase::Texto},         {"text", Clase::TextoLargo},       {"ntext", Clase::TextoLargo},
        {"xml", Clase::TextoLargo},         {"binary", Clase::Binario},       {"varbinary", Clase::Binario},
        {"image", Clase::BinarioLargo},     {"geography", Clase::Espacial},   {"geometry", Clase::Espacial},
        {"hierarchyid", Clase::Espacial},  {"date", Clase::FechaIso},        {"datetime", Clase::FechaIso},
        {"datetime2", Clase::FechaIso},    {"smalldatetime", Clase::FechaIso}, {"time", Clase::FechaIso},
        {"datetimeoffset", Clase::FechaIsoConDesfase}, {"uniqueidentifier", Clase::Guid},
    };
    for (const auto& k : kinds)
        if (type == QLatin1String(k.name)) return k.kind;
    return std::nullopt;
}

Literal literalDeTexto(const QVariant& value) { return diario::literalTexto(value.toString()); }

}  // namespace

Literal literalDeValor(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return diario::literalNulo();
    switch (value.metaType().id()) {
    case QMetaType::Bool: return diario::literalNumero(value.toBool() ? QStringLiteral("1") : QStringLiteral("0"));
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong: return diario::literalNumero(QString::number(value.toLongLong()));
    case QMetaType::UChar:
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong: return diario::literalNumero(QString::number(value.toULongLong()));
    case QMetaType::Float:
    case QMetaType::Double: {
        const double d = value.toDouble();
        return std::isnan(d) ? diario::literalNulo() : diario::literalNumero(textoDeDoble(d));
    }
    case QMetaType::QByteArray: return diario::literalBinario(value.toByteArray());
    case QMetaType::QDateTime:
        return diario::literalTexto(value.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")));
    case QMetaType::QDate: return diario::literalTexto(value.toDate().toString(QStringLiteral("yyyy-MM-dd")));
    case QMetaType::QTime: return diario::literalTexto(value.toTime().toString(QStringLiteral("HH:mm:ss.zzz")));
    default: return literalDeTexto(value);
    }
}

QString ColumnaDiario::expresionLectura() const {
    const QString c = entreCorchetes();
    switch (clase) {
    case Clase::Dinamico:
        return c;
    case Clase::LiteralDelMotor:
        // quote() writes integers and reals so that SQLite reads back the same value, and
        // blobs as X'..'; text goes as its bytes, so no character depends on the driver.
        return QStringLiteral("CASE typeof(%1) WHEN 'text' THEN 'CAST(X''' || hex(%1) || ''' AS TEXT)' "
                              "ELSE quote(%1) END")
            .arg(c);
    case Clase::Exacto:
        if (tipo == u"money" || tipo == u"smallmoney")
            return QStringLiteral("CAST(CAST(%1 AS decimal(19, 4)) AS varchar(60)) AS %1").arg(c);
        return QStringLiteral("CAST(%1 AS varchar(60)) AS %1").arg(c);
    case Clase::TextoLargo:
        return tipo == u"xml" ? QStringLiteral("CONVERT(nvarchar(max), %1) AS %1").arg(c) : c;
    case Clase::Espacial: return QStringLiteral("CAST(%1 AS varbinary(max)) AS %1").arg(c);
    case Clase::FechaIso:
    case Clase::FechaIsoConDesfase: return QStringLiteral("CONVERT(nvarchar(40), %1, 126) AS %1").arg(c);
    case Clase::Guid: return QStringLiteral("CONVERT(nvarchar(36), %1) AS %1").arg(c);
    case Clase::Numero:
    case Clase::Texto:
    case Clase::Binario:
    case Clase::BinarioLargo: return c;
    }
    return c;
}

Literal ColumnaDiario::literal(const QVariant& value) const {
    if (!value.isValid() || value.isNull()) return diario::literalNulo();
    switch (clase) {
    case Clase::Dinamico: return literalDeValor(value);
    case Clase::LiteralDelMotor: {
        QString text = value.toString();
        if (text == u"Inf") text = QStringLiteral("9e999");  // what SQLite reads as infinity
        else if (text == u"-Inf") text = QStringLiteral("-9e999");
        if (text == u"NULL") return diario::literalNulo();
        if (diario::esTextoDeNumero(text)) return diario::literalNumero(text);
        if (auto parsed = diario::leerLiteral(text, Dialecto::Sqlite)) return *parsed;
        noSePuedeEscribir(nombre, QStringLiteral("dio un valor que no es un literal de SQLite"));
    }
    case Clase::Numero: {
        const Literal l = literalDeValor(value);
        if (l.clase != Literal::Clase::Numero) noSePuedeEscribir(nombre, QStringLiteral("dio un valor que no es un número"));
        return l;
    }
    case Clase::Exacto: {
        const QString digits = value.toString().trimmed();
        if (!diario::esTextoDeNumero(digits)) noSePuedeEscribir(nombre, QStringLiteral("dio un número que no se lee exacto"));
        return diario::literalNumero(digits);
    }
    case Clase::Texto:
    case Clase::TextoLargo: return literalDeTexto(value);
    case Clase::FechaIso:
    case Clase::FechaIsoConDesfase:
    case Clase::Guid: {
        // Never an empty literal: SQL Server would take it for 1900-01-01 without a word.
        const QString text = value.toString();
        if (text.isEmpty()) noSePuedeEscribir(nombre, QStringLiteral("dio un valor vacío"));
        return diario::literalTexto(text);
    }
    case Clase::Binario:
    case Clase::BinarioLargo: return diario::literalBinario(value.toByteArray());
    case Clase::Espacial: return Literal{Literal::Clase::BinarioConTipo, tipo, value.toByteArray()};
    }
    return literalDeValor(value);
}

Comparacion ColumnaDiario::comparacion(const Literal& value) const {
    if (value.clase == Literal::Clase::Nulo) return Comparacion::EsNulo;
    switch (clase) {
    case Clase::Dinamico: return value.clase == Literal::Clase::Texto ? Comparacion::Binaria : Comparacion::Simple;
    case Clase::LiteralDelMotor: return Comparacion::Binaria;
    case Clase::Texto: return Comparacion::Bin2Longitud;
    case Clase::TextoLargo: return Comparacion::TextoLargoLongitud;
    case Clase::Binario: return Comparacion::BinarioLongitud;
    case Clase::BinarioLargo:
    case Clase::Espacial: return Comparacion::BinarioConvertidoLongitud;
    case Clase::FechaIsoConDesfase: return Comparacion::TextoIso;
    case Clase::Numero:
    case Clase::Exacto:
    case Clase::FechaIso:
    case Clase::Guid: return Comparacion::Simple;
    }
    return Comparacion::Simple;
}

QStringList ColumnasDiario::nombresEntreCorchetes() const {
    QStringList names;
    for (const ColumnaDiario& c : columnas) names << c.entreCorchetes();
    return names;
}

std::optional<ColumnaDiario> columnaSqlServer(const QString& name, const QString& typeName, bool identity, bool computed) {
    const QString type = typeName.trimmed().toLower();
    if (computed || type == u"timestamp" || type == u"rowversion") return std::nullopt;
    const auto kind = claseDeTipo(type);
    if (!kind) noSePuedeEscribir(name, QStringLiteral("es de tipo %1").arg(type));
    return ColumnaDiario{name, type, *kind, identity};
}

QString consultaColumnasSqlServer() {
    return QStringLiteral(
        "SELECT c.name, COALESCE(TYPE_NAME(c.system_type_id), t.name) AS type_name, c.is_identity, c.is_computed "
        "FROM sys.columns AS c JOIN sys.types AS t ON t.user_type_id = c.user_type_id "
        "WHERE c.object_id = OBJECT_ID(N'V_MV_Stock') ORDER BY c.column_id");
}

namespace {

// Every statement of the journal stays on one line, its names too.
void exigirNombreDeUnaLinea(const QString& name) {
    if (std::any_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x20; }))
        noSePuedeEscribir(QString(name).replace(QRegularExpression(QStringLiteral("[\\x00-\\x1f]")), QStringLiteral("?")),
                    QStringLiteral("tiene en su nombre un carácter de control"));
}

}  // namespace

ColumnasDiario columnasDiario(utility::DataAccess& session, Dialecto dialect) {
    ColumnasDiario out = columnasDiarioLeidas(session, dialect);
    for (const ColumnaDiario& c : out.columnas) exigirNombreDeUnaLinea(c.nombre);
    return out;
}

ColumnasDiario columnasDiarioLeidas(utility::DataAccess& session, Dialecto dialect) {
    ColumnasDiario out;
    if (dialect == Dialecto::Sqlite) {
        const bool engineLiterals = session.backend() != utility::Backend::NativeSqlite;
        const QStringList names =
            session.OpenQuery(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(QLatin1String(diario::kTabla))).columnNames();
        for (const QString& name : names)
            out.columnas.push_back({name, {}, engineLiterals ? Clase::LiteralDelMotor : Clase::Dinamico, false});
        return out;
    }
    utility::Statement q = session.OpenQuery(consultaColumnasSqlServer());
    while (q.next()) {
        const QString name = q.value(0).toString();
        const auto column = columnaSqlServer(name, q.value(1).toString(), q.value(2).toInt() == 1, q.value(3).toInt() == 1);
        if (!column) {
            out.generadas << name;  // the engine writes these; an insert may not
            continue;
        }
        out.columnas.push_back(*column);
        out.identidad = out.identidad || column->identidad;
    }
    if (out.columnas.empty())
        throw platform::RuntimeError(platform::kDatabaseError,
                                     QStringLiteral("no se pudieron leer las columnas de %1").arg(QLatin1String(diario::kTabla)));
    return out;
}

}  // namespace correction
