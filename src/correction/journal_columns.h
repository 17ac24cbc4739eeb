#pragma once

#include "correction/journal_format.h"

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

struct JournalColumn {
    enum class Kind {
        Dynamic,        // SQLite: each value by its own type
        EngineLiteral,  // SQLite through ODBC: SQLite writes each literal itself (quote())
        Number,         // integers, bit, float, real: as read
        Exact,          // decimal, numeric, money: read as text with every digit
        Text,           // char, varchar, nchar, nvarchar
        LongText,       // text, ntext, xml
        Binary,         // binary, varbinary
        LongBinary,     // image
        Spatial,        // geography, geometry, hierarchyid: their own bytes
        IsoDate,        // date and time types: ISO 8601 text with every digit
        IsoDateOffset,  // datetimeoffset: the same with its offset, compared as that text
        Guid,           // uniqueidentifier: its text
    };
    QString name;
    QString type;  // the engine's type name, lower case (SQL Server)
    Kind kind = Kind::Dynamic;
    bool identity = false;

    QString quoted() const { return journal::quotedName(name); }
    QString readExpression() const;
    // The literal of a value as readExpression reads it; raises when it cannot be written exactly.
    journal::Literal literal(const QVariant& value) const;
    journal::Comparison comparison(const journal::Literal& value) const;
};

struct JournalColumns {
    std::vector<JournalColumn> columns;  // those the journal puts back, in the table's order
    QStringList generated;               // computed and rowversion columns: the engine writes them
    bool identity = false;               // an identity column is among `columns`

    QStringList quotedNames() const;
};

// The table's columns as the session's engine describes them (SQL Server: sys.columns). A
// column whose values cannot be put back exactly raises, naming it, before anything is read.
JournalColumns journalColumns(utility::DataAccess& session, Dialect dialect);

// One SQL Server column as sys.columns describes it; nothing for a column the engine writes
// itself (computed, rowversion), which no insert may name. Raises for a type whose values
// cannot be put back exactly.
std::optional<JournalColumn> sqlServerColumn(const QString& name, const QString& type, bool identity, bool computed);

// The statement that lists the table's columns on SQL Server.
QString sqlServerColumnsQuery();

// A value's literal by its own type (the voucher comments, SQLite's columns).
journal::Literal valueLiteral(const QVariant& value);

}  // namespace correction
