#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

class QFile;

// The lookup mask file keeps fixed 1202-byte records, one per table or view, in the
// Windows ANSI code page: Nombre (100), Tabla (100), Campos (500), Filtro (500) and a
// carriage return plus line feed, each field left-aligned and padded with spaces.
namespace lookup {

constexpr int kLargoRegistro = 1202;
constexpr int kLargoNombre = 100;
constexpr int kLargoTabla = 100;
constexpr int kLargoCampos = 500;
constexpr int kLargoFiltro = 500;
constexpr int kLargoFinLinea = 2;

struct MascaraConsulta {
    QString Nombre;
    QString Tabla;
    QString Campos;
    QString Filtro;
    QString FinLinea;
};

// One record as it is stored: each field converted to the code page, cut at its width
// in bytes and padded with spaces.
QByteArray codificarRegistro(const MascaraConsulta& registro);
// Back from the 1202 stored bytes (a shorter buffer reads as if padded with NUL bytes).
MascaraConsulta decodificarRegistro(const QByteArray& bytes);

// The cleaned values a matching record gives.
struct MascaraLimpia {
    QString tabla;
    QString campos;
    QString filtro;
};
QString limpiarTabla(const QString& tabla);    // NUL and code-255 removed, trimmed
QString limpiarCampos(const QString& campos);  // bars to commas, one comma off each end, "*" when blank
QString limpiarFiltro(const QString& filtro);  // NUL and code-255 removed, trimmed

// Whether a mask file exists at `ruta` as a plain, visible file (a hidden one counts as
// missing, as the archive-attribute lookup found it).
bool existeArchivo(const QString& ruta);

// Looks for the first record whose table matches `tabla` (case and surrounding spaces
// ignored). `regMascara` receives every record read. A file that cannot be opened or read
// gives no match. A partial record at the end of the file is not read: the file holds
// length div 1202 records, the same count the writer appends after.
std::optional<MascaraLimpia> buscarMascara(const QString& ruta, const QString& tabla, MascaraConsulta& regMascara);

// Appends one record at record number (length div 1202) + 1; raises overflow past 32767
// records and a file access error when the write fails.
void agregarRegistro(QFile& archivo, const MascaraConsulta& registro);

}  // namespace lookup
