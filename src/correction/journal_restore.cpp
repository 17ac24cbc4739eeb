#include "correction/journal_restore.h"

#include "correction/deletion_journal.h"
#include "platform/runtime_error.h"
#include "utility/data_access.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

namespace correction {

namespace {

[[noreturn]] void refuse(const QString& path, const QString& why) {
    throw platform::RuntimeError(platform::kBadFileMode,
                                 QStringLiteral("%1 no se puede reponer: %2").arg(path, why));
}

// Whether a line is one whole statement: quotes closed and its only ";" (outside quotes)
// at its end.
bool isWholeStatement(const QString& line) {
    bool quoted = false;
    int semicolons = 0;
    for (const QChar c : line) {
        if (c == u'\'') quoted = !quoted;
        else if (c == u';' && !quoted) ++semicolons;
    }
    return !quoted && semicolons == 1 && line.endsWith(u';');
}

bool isIdentitySwitch(const QString& line) {
    return line.compare(QStringLiteral("SET IDENTITY_INSERT V_MV_Stock ON;"), Qt::CaseInsensitive) == 0 ||
           line.compare(QStringLiteral("SET IDENTITY_INSERT V_MV_Stock OFF;"), Qt::CaseInsensitive) == 0;
}

}  // namespace

JournalScript LeerDiario(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) refuse(path, file.errorString());
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) refuse(path, QStringLiteral("no es un diario de borrado de stockfix (no es texto UTF-8)"));
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    if (!text.startsWith(QLatin1String(kJournalSignature)))
        refuse(path, QStringLiteral("no es un diario de borrado de stockfix"));

    JournalScript script;
    const bool endsWithNewline = text.endsWith(u'\n');
    QStringList lines = text.split(u'\n');
    if (endsWithNewline) lines.removeLast();

    // Each voucher's comment announces its rows and each run's last line counts them: a line
    // lost inside the file is found, not restored around.
    static const QRegularExpression voucherLine(QStringLiteral("^-- Comprobante .*: (\\d+) filas$"));
    static const QRegularExpression endLine(QStringLiteral("^-- Fin de la corrida: (\\d+) comprobantes, (\\d+) filas\\.$"));
    int announced = -1, announcedAt = 0, seen = 0;
    int runVouchers = 0, runRows = 0;
    bool runOpen = false, interrupted = false;
    auto closeVoucher = [&] {
        if (announced >= 0 && seen != announced)
            refuse(path, QStringLiteral("el comprobante de la línea %1 anuncia %2 filas y el diario tiene %3 (diario dañado)")
                             .arg(announcedAt)
                             .arg(announced)
                             .arg(seen));
        announced = -1;
    };

    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r')) line.chop(1);
        const int number = int(i + 1);
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1String(kJournalSignature))) {
            closeVoucher();
            interrupted = interrupted || runOpen;
            runOpen = true;
            runVouchers = runRows = 0;
            continue;
        }
        if (const QRegularExpressionMatch m = voucherLine.match(trimmed); m.hasMatch()) {
            closeVoucher();
            announced = m.captured(1).toInt();
            announcedAt = number;
            seen = 0;
            ++runVouchers;
            continue;
        }
        if (const QRegularExpressionMatch m = endLine.match(trimmed); m.hasMatch()) {
            closeVoucher();
            if (m.captured(1).toInt() != runVouchers || m.captured(2).toInt() != runRows)
                refuse(path, QStringLiteral("la línea %1 cuenta %2 comprobantes y %3 filas, y el diario tiene %4 y %5 "
                                            "(diario dañado)")
                                 .arg(number)
                                 .arg(m.captured(1), m.captured(2))
                                 .arg(runVouchers)
                                 .arg(runRows));
            runOpen = false;
            continue;
        }
        if (trimmed.startsWith(QStringLiteral("-- La corrida se detuvo"))) {
            closeVoucher();
            runOpen = false;
            continue;
        }
        if (trimmed.isEmpty() || trimmed.startsWith(QStringLiteral("--")) ||
            trimmed.compare(QStringLiteral("GO"), Qt::CaseInsensitive) == 0 ||
            trimmed.compare(QStringLiteral("SET NOCOUNT ON;"), Qt::CaseInsensitive) == 0)
            continue;
        const bool last = i == lines.size() - 1;
        if (isIdentitySwitch(trimmed)) {
            script.statements.push_back({number, trimmed, true});
            continue;
        }
        const bool insert = line.startsWith(QStringLiteral("INSERT INTO V_MV_Stock ("));
        if (insert && isWholeStatement(line) && announced >= 0) {
            script.statements.push_back({number, line, false});
            ++seen;
            ++runRows;
            continue;
        }
        // Only the last line can be cut short: by a run that was stopped while writing.
        if (last && !endsWithNewline) {
            script.warning = QStringLiteral("el diario %1 está cortado en la línea %2: se repone hasta la última "
                                            "sentencia completa (línea %3)")
                                 .arg(path)
                                 .arg(number)
                                 .arg(script.statements.empty() ? 0 : script.statements.back().line);
            announced = -1;
            runOpen = false;
            break;
        }
        refuse(path, QStringLiteral("la línea %1 no es una sentencia de un diario de borrado (diario dañado)").arg(number));
    }
    // A run that never wrote its last line was stopped (killed, a power cut) or its file was
    // cut at a line's end: what it holds is restored, and the user is told.
    if (announced >= 0 && seen != announced) runOpen = true;
    if ((runOpen || interrupted) && script.warning.isEmpty())
        script.warning = QStringLiteral("el diario %1 termina sin la línea final de su corrida: la corrida se interrumpió "
                                        "o el archivo está cortado; se repone lo que tiene (%2 sentencias)")
                             .arg(path)
                             .arg(script.statements.size());
    return script;
}

RestoreCount ReponerDiario(utility::DataAccess& session, const JournalScript& script) {
    RestoreCount count;
    const bool sqlServer = session.engine() == utility::DataAccess::Engine::SqlServer;
    session.BeginTrans();
    const JournalStatement* current = nullptr;
    try {
        for (const JournalStatement& s : script.statements) {
            current = &s;
            if (s.identitySwitch) {
                if (sqlServer) session.ExecuteSql(s.sql);
                continue;
            }
            const long long rows = session.ExecuteSql(s.sql);
            if (rows > 0) count.restored += rows;
            else ++count.present;
        }
        current = nullptr;
        session.CommitTrans();
    } catch (const platform::RuntimeError& e) {
        try {
            session.RollbackTrans();
        } catch (const platform::RuntimeError&) {
        }
        if (!current) throw;
        throw platform::RuntimeError(e.number(), QStringLiteral("línea %1 del diario: %2").arg(current->line).arg(e.description()),
                                     e.source());
    }
    return count;
}

}  // namespace correction
