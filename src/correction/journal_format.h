#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <vector>

// The deletion journal's lines, written and read by this one definition: the run's header,
// the voucher and batch lines, the run's last line, and the INSERT that puts one row back.
// The reader rebuilds every statement from the values it parsed, with the writer's own
// function, and runs that, never the file's text.
namespace correction {

// The engine that reads a journal back.
enum class Dialect { SqlServer, Sqlite };

namespace journal {

inline constexpr char kSignature[] = "-- stockfix: diario de borrado";
inline constexpr char kTable[] = "V_MV_Stock";

// A value as the journal writes it.
struct Literal {
    enum class Kind {
        Null,
        Number,       // `text` as written: digits, a period, an exponent (every digit of the value)
        Text,         // `text`, any characters: N'...' pieces, control characters as NCHAR(n) / char(n)
        Binary,       // `bytes`: 0x... on SQL Server, X'...' on SQLite
        HexText,      // `bytes` (UTF-8): CAST(X'...' AS TEXT), SQLite's own literal of a text
        TypedBinary,  // `bytes` of a value of type `text` (geography, ...): CAST(0x... AS type)
    };
    Kind kind = Kind::Null;
    QString text;
    QByteArray bytes;
    friend bool operator==(const Literal&, const Literal&) = default;
};

Literal nullLiteral();
Literal numberLiteral(const QString& digits);
Literal textLiteral(const QString& text);
Literal binaryLiteral(const QByteArray& bytes);

// Whether `digits` has the form of a number literal: -?D+(.D+)?([eE][+-]?D+)?
bool isNumberText(QStringView digits);

QString literalText(const Literal& literal, Dialect dialect);
// The literal `text` holds, when it is exactly one literal of the writer's form.
std::optional<Literal> parseLiteral(QStringView text, Dialect dialect);

// How a row's guard compares one column with its value.
enum class Comparison {
    IsNull,            // [c] IS NULL
    Plain,             // [c] = v
    Binary,            // [c] = v COLLATE BINARY                        (SQLite)
    Bin2,              // [c] = v COLLATE Latin1_General_BIN2
    Bin2Length,        // ... AND DATALENGTH(CAST([c] AS nvarchar(max))) = DATALENGTH(v): trailing blanks count
    LongText,          // CAST([c] AS nvarchar(max)) = v COLLATE Latin1_General_BIN2   (text, ntext, xml)
    LongTextLength,    // ... AND DATALENGTH(CAST([c] AS nvarchar(max))) = DATALENGTH(v)
    LongBinary,        // CAST([c] AS varbinary(max)) = v                              (image)
    BinaryLength,      // [c] = v AND DATALENGTH([c]) = DATALENGTH(v): trailing zero bytes count
    CastBinaryLength,  // CAST([c] AS varbinary(max)) = v AND DATALENGTH(...) = DATALENGTH(v)  (image, spatial)
    IsoText,           // CONVERT(nvarchar(40), [c], 126) = v                         (datetimeoffset)
};

// One row put back: INSERT INTO V_MV_Stock (columns) SELECT values WHERE guard. The guard
// is NOT EXISTS (the row) for the first copy of a row, and (SELECT COUNT(*) ...) < copy for
// further copies of a row equal in every column.
struct Insert {
    QStringList columns;  // bracketed names, "[IDMOVIMIENTO]"
    std::vector<Literal> values;
    std::vector<Comparison> comparisons;
    int copy = 1;
    friend bool operator==(const Insert&, const Insert&) = default;
};

QString insertText(const Insert& insert, Dialect dialect);

// Parses one line as an INSERT of the writer's form for `dialect`. Nothing, with `why`, when
// it is anything else: the line must be exactly what insertText writes for what it holds.
std::optional<Insert> parseInsert(QStringView line, Dialect dialect, QString* why = nullptr);

// A column name between brackets, as both engines read it; and back.
QString quotedName(const QString& name);
std::optional<QString> unquotedName(QStringView bracketed);
QString columnList(const QStringList& quotedNames);  // "[A], [B]"
std::optional<QStringList> parseColumnList(QStringView text);

// The other lines.
QString headerLine(const QString& label, const QString& value);  // "-- Label: value"
QString voucherLine(const Literal& tc, const Literal& id, Dialect dialect, int rows);
QString batchLine(int vouchers, long long rows);
QString runEndLine(int vouchers, long long rows);
QString stopLine(const QString& why);
QString cutLine();
QString identityLine(bool on);
QString engineName(Dialect dialect);

inline constexpr char kGo[] = "GO";
inline constexpr char kNoCount[] = "SET NOCOUNT ON;";
inline constexpr char kColumnsLabel[] = "Columnas";
inline constexpr char kEngineLabel[] = "Motor";

// Text safe inside a one-line "--" comment: control and line-separating characters become blanks.
QString commentText(QString text);

}  // namespace journal
}  // namespace correction
