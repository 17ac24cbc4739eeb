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
enum class Dialecto { SqlServer, Sqlite };

namespace diario {

inline constexpr char kFirma[] = "-- stockfix: diario de borrado";
inline constexpr char kTabla[] = "V_MV_Stock";

// A value as the journal writes it.
struct Literal {
    enum class Clase {
        Nulo,
        Numero,          // `texto` as written: digits, a period, an exponent (every digit of the value)
        Texto,           // `texto`, any characters: N'...' pieces, control characters as NCHAR(n) / char(n)
        Binario,         // `bytes`: 0x... on SQL Server, X'...' on SQLite
        TextoHex,        // `bytes` (UTF-8): CAST(X'...' AS TEXT), SQLite's own literal of a text
        BinarioConTipo,  // `bytes` of a value of type `texto` (geography, ...): CAST(0x... AS type)
    };
    Clase clase = Clase::Nulo;
    QString texto;
    QByteArray bytes;
    friend bool operator==(const Literal&, const Literal&) = default;
};

Literal literalNulo();
Literal literalNumero(const QString& digits);
Literal literalTexto(const QString& text);
Literal literalBinario(const QByteArray& bytes);

// Whether `digits` has the form of a number literal: -?D+(.D+)?([eE][+-]?D+)?
bool esTextoDeNumero(QStringView digits);

QString textoDeLiteral(const Literal& literal, Dialecto dialect);
// The literal `text` holds, when it is exactly one literal of the writer's form.
std::optional<Literal> leerLiteral(QStringView text, Dialecto dialect);

// How a row's guard compares one column with its value.
enum class Comparacion {
    EsNulo,                     // [c] IS NULL
    Simple,                     // [c] = v
    Binaria,                    // [c] = v COLLATE BINARY                        (SQLite)
    Bin2,                       // [c] = v COLLATE Latin1_General_BIN2
    Bin2Longitud,               // ... AND DATALENGTH(CAST([c] AS nvarchar(max))) = DATALENGTH(v): trailing blanks count
    TextoLargo,                 // CAST([c] AS nvarchar(max)) = v COLLATE Latin1_General_BIN2   (text, ntext, xml)
    TextoLargoLongitud,         // ... AND DATALENGTH(CAST([c] AS nvarchar(max))) = DATALENGTH(v)
    BinarioLargo,               // CAST([c] AS varbinary(max)) = v                              (image)
    BinarioLongitud,            // [c] = v AND DATALENGTH([c]) = DATALENGTH(v): trailing zero bytes count
    BinarioConvertidoLongitud,  // CAST([c] AS varbinary(max)) = v AND DATALENGTH(...) = DATALENGTH(v)  (image, spatial)
    TextoIso,                   // CONVERT(nvarchar(40), [c], 126) = v                         (datetimeoffset)
};

// One row put back: INSERT INTO V_MV_Stock (columns) SELECT values WHERE guard. The guard
// is NOT EXISTS (the row) for the first copy of a row, and (SELECT COUNT(*) ...) < copy for
// further copies of a row equal in every column.
struct Insercion {
    QStringList columnas;  // bracketed names, "[IDMOVIMIENTO]"
    std::vector<Literal> valores;
    std::vector<Comparacion> comparaciones;
    int copia = 1;
    friend bool operator==(const Insercion&, const Insercion&) = default;
};

QString textoInsercion(const Insercion& insert, Dialecto dialect);

// Parses one line as an INSERT of the writer's form for `dialect`. Nothing, with `why`, when
// it is anything else: the line must be exactly what textoInsercion writes for what it holds.
std::optional<Insercion> leerInsercion(QStringView line, Dialecto dialect, QString* why = nullptr);

// A column name between brackets, as both engines read it; and back.
QString nombreEntreCorchetes(const QString& name);
std::optional<QString> nombreSinCorchetes(QStringView bracketed);
QString listaColumnas(const QStringList& quotedNames);  // "[A], [B]"
std::optional<QStringList> leerListaColumnas(QStringView text);

// The other lines.
QString lineaEncabezado(const QString& label, const QString& value);  // "-- Label: value"
QString lineaComprobante(const Literal& tc, const Literal& id, Dialecto dialect, int rows);
QString lineaLote(int vouchers, long long rows);
QString lineaFinCorrida(int vouchers, long long rows);
QString lineaDetencion(const QString& why);
QString lineaCortada();
QString lineaIdentidad(bool on);
QString nombreMotor(Dialecto dialect);

inline constexpr char kGo[] = "GO";
inline constexpr char kNoCount[] = "SET NOCOUNT ON;";
inline constexpr char kEtiquetaColumnas[] = "Columnas";
inline constexpr char kEtiquetaMotor[] = "Motor";

// Text safe inside a one-line "--" comment: control and line-separating characters become blanks.
QString textoComentario(QString text);

}  // namespace diario
}  // namespace correction
