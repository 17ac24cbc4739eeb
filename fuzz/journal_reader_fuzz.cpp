// Properties of the journal reader, for any bytes: it never fails but by refusing the file;
// every statement it would run is, to the byte, the writer's statement for the values it
// parsed from that line, and reading that statement back gives the same values; a guard
// compares with IS NULL exactly the values that are NULL.
#include "correction/journal_restore.h"
#include "fuzz_target.h"

#include <QByteArray>
#include <QList>
#include <QString>

STOCKFIX_FUZZ_TARGET(journal_reader) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    correction::JournalScript script;
    try {
        script = correction::LeerDiarioDeBytes(QStringLiteral("fuzz.sql"), bytes);
    } catch (const correction::JournalRefused&) {
        return 0;
    }
    QByteArray text = bytes;
    if (text.startsWith("\xEF\xBB\xBF")) text.remove(0, 3);
    const QList<QByteArray> lines = text.split('\n');
    for (const correction::JournalStatement& s : script.statements) {
        FUZZ_CHECK(s.line >= 1 && s.line <= lines.size());
        QByteArray line = lines[s.line - 1];
        if (line.endsWith('\r')) line.chop(1);
        const QString built = correction::journal::insertText(s.insert, s.dialect);
        FUZZ_CHECK(built == QString::fromUtf8(line));
        const auto again = correction::journal::parseInsert(built, s.dialect);
        FUZZ_CHECK(again.has_value() && *again == s.insert);
        FUZZ_CHECK(s.insert.values.size() == size_t(s.insert.columns.size()));
        for (size_t i = 0; i < s.insert.values.size(); ++i)
            FUZZ_CHECK((s.insert.comparisons[i] == correction::journal::Comparison::IsNull) ==
                       (s.insert.values[i].kind == correction::journal::Literal::Kind::Null));
    }
    return 0;
}
