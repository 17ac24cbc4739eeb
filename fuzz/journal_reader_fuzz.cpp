// Properties of the journal reader, for any bytes: it never fails but by refusing the file;
// every statement it would run is, to the byte, the writer's statement for the values it
// parsed from that line, and reading that statement back gives the same values; a guard
// compares with IS NULL exactly the values that are NULL.
#include "correction/reposicion_diario.h"
#include "fuzz_target.h"

#include <QByteArray>
#include <QList>
#include <QString>

STOCKFIX_FUZZ_TARGET(journal_reader) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    correction::GuionDiario script;
    try {
        script = correction::LeerDiarioDeBytes(QStringLiteral("fuzz.sql"), bytes);
    } catch (const correction::DiarioRechazado&) {
        return 0;
    }
    QByteArray text = bytes;
    if (text.startsWith("\xEF\xBB\xBF")) text.remove(0, 3);
    const QList<QByteArray> lines = text.split('\n');
    for (const correction::SentenciaDiario& s : script.sentencias) {
        FUZZ_CHECK(s.linea >= 1 && s.linea <= lines.size());
        QByteArray line = lines[s.linea - 1];
        if (line.endsWith('\r')) line.chop(1);
        const QString built = correction::diario::textoInsercion(s.insercion, s.dialecto);
        FUZZ_CHECK(built == QString::fromUtf8(line));
        const auto again = correction::diario::leerInsercion(built, s.dialecto);
        FUZZ_CHECK(again.has_value() && *again == s.insercion);
        FUZZ_CHECK(s.insercion.valores.size() == size_t(s.insercion.columnas.size()));
        for (size_t i = 0; i < s.insercion.valores.size(); ++i)
            FUZZ_CHECK((s.insercion.comparaciones[i] == correction::diario::Comparacion::EsNulo) ==
                       (s.insercion.valores[i].clase == correction::diario::Literal::Clase::Nulo));
    }
    return 0;
}
