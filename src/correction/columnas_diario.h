#pragma once

#include "correction/formato_diario.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>
#include <vector>

namespace utility {
class DataAccess;
}

// The stock table's columns as the deletion journal reads and writes them: what the row
// query selects for each, the literal of each value and how the guard compares it.
namespace correction {

struct ColumnaDiario {
    enum class Clase {
        Dinamico,            // SQLite: each value by its own type
        LiteralDelMotor,     // SQLite through ODBC: SQLite writes each literal itself (quote())
        Numero,              // integers, bit, float, real: as read
        Exacto,              // decimal, numeric, money: read as text with every digit
        Texto,               // char, varchar, nchar, nvarchar
        TextoLargo,          // text, ntext, xml
        Binario,             // binary, varbinary
        BinarioLargo,        // image
        Espacial,            // geography, geometry, hierarchyid: their own bytes
        FechaIso,            // date and time types: ISO 8601 text with every digit
        FechaIsoConDesfase,  // datetimeoffset: the same with its offset, compared as that text
        Guid,                // uniqueidentifier: its text
    };
    QString nombre;
    QString tipo;  // the engine's type name, lower case (SQL Server)
    Clase clase = Clase::Dinamico;
    bool identidad = false;

    QString entreCorchetes() const { return diario::nombreEntreCorchetes(nombre); }
    QString expresionLectura() const;
    // The literal of a value as expresionLectura reads it; raises when it cannot be written exactly.
    diario::Literal literal(const QVariant& value) const;
    diario::Comparacion comparacion(const diario::Literal& value) const;
};

struct ColumnasDiario {
    std::vector<ColumnaDiario> columnas;  // those the journal puts back, in the table's order
    QStringList generadas;                // computed and rowversion columns: the engine writes them
    bool identidad = false;               // an identity column is among `columnas`

    QStringList nombresEntreCorchetes() const;
};

// The table's columns as the session's engine describes them (SQL Server: sys.columns). A
// column whose values cannot be put back exactly raises, naming it, before anything is read.
ColumnasDiario columnasDiario(utility::DataAccess& session, Dialecto dialect);

// One SQL Server column as sys.columns describes it; nothing for a column the engine writes
// itself (computed, rowversion), which no insert may name. Raises for a type whose values
// cannot be put back exactly.
std::optional<ColumnaDiario> columnaSqlServer(const QString& name, const QString& type, bool identity, bool computed);

// The statement that lists the table's columns on SQL Server.
QString consultaColumnasSqlServer();

// A value's literal by its own type (the voucher comments, SQLite's columns).
diario::Literal literalDeValor(const QVariant& value);

}  // namespace correction
