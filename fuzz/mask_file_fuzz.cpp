// Property: any bytes as a mask file (any length, partial records, NUL and 0xFF bytes,
// bytes Windows-1252 lacks) are read without a crash; a match is the first of the file's
// own whole records whose table is the one asked for, cleaned (no NUL or code-255
// character in the table and the filter). Encoding a record always gives 1202 bytes that
// decode to the same fields.
#include "fuzz_target.h"
#include "lookup/mascara_consulta.h"
#include "platform/text_rules.h"

#include <QFile>
#include <QTemporaryDir>

STOCKFIX_FUZZ_TARGET(mask_file) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("consultas.kvl"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // Ask for the table of the first whole record (when there is one) and for a name.
    QStringList tables{QStringLiteral("VT_CLIENTES")};
    if (size >= size_t(lookup::kLargoRegistro)) tables << lookup::decodificarRegistro(bytes.left(lookup::kLargoRegistro)).Tabla;
    for (const QString& table : tables) {
        lookup::MascaraConsulta buffer;
        const auto found = lookup::buscarMascara(path, table, buffer);
        // The first whole record of that table, read straight from the bytes.
        std::optional<lookup::MascaraLimpia> first;
        for (qsizetype k = 0; k < qMin<qsizetype>(bytes.size() / lookup::kLargoRegistro, 32767) && !first; ++k) {
            const lookup::MascaraConsulta r = lookup::decodificarRegistro(bytes.mid(k * lookup::kLargoRegistro, lookup::kLargoRegistro));
            if (lookup::limpiarTabla(r.Tabla).compare(platform::Trim(table), Qt::CaseInsensitive) == 0)
                first = lookup::MascaraLimpia{lookup::limpiarTabla(r.Tabla), lookup::limpiarCampos(r.Campos),
                                              lookup::limpiarFiltro(r.Filtro)};
        }
        FUZZ_CHECK(found.has_value() == first.has_value());
        if (found) {
            FUZZ_CHECK(found->tabla == first->tabla && found->campos == first->campos && found->filtro == first->filtro);
            FUZZ_CHECK(size >= size_t(lookup::kLargoRegistro));
            FUZZ_CHECK(!found->tabla.contains(QChar(0)) && !found->tabla.contains(QChar(0xFF)));
            FUZZ_CHECK(!found->filtro.contains(QChar(0)) && !found->filtro.contains(QChar(0xFF)));
            FUZZ_CHECK(!found->campos.isEmpty());
        }
    }
    // Round trip of a record made of the input's text.
    const QString text = QString::fromUtf8(bytes);
    const lookup::MascaraConsulta r{text.left(50), text.mid(50, 120), text.mid(170, 600), text.mid(770), QStringLiteral("\r\n")};
    const QByteArray encoded = lookup::codificarRegistro(r);
    FUZZ_CHECK(encoded.size() == lookup::kLargoRegistro);
    FUZZ_CHECK(lookup::codificarRegistro(lookup::decodificarRegistro(encoded)) == encoded);
    return 0;
}
