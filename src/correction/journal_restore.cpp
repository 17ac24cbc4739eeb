#include "correction/journal_restore.h"

#include "correction/journal_columns.h"
#include "platform/append_file.h"
#include "utility/data_access.h"
#include "utility/transaction.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QStringDecoder>

namespace correction {

namespace {

// Comment lines the writer writes; any other comment is no part of a journal.
const char* const kCommentLines[] = {
    "-- Fecha: ",         "-- Servidor: ",      "-- Base de datos: ",     "-- Usuario: ",
    "-- Programa: ",      "-- Selección: ",     "-- Columnas que escribe el motor: ",
    "-- Cada INSERT repone una fila borrada si no está", "-- Para reponer: ", "--           o: sqlcmd ",
};

struct Line {
    int number;
    std::optional<QString> text;  // nothing: not UTF-8
};

class Reader {
public:
    explicit Reader(const QString& path) : path_(path) { script_.path = path; }

    JournalScript read(const QByteArray& bytes) {
        std::vector<Line> lines = split(bytes);
        for (size_t i = 0; i < lines.size(); ++i) {
            const bool last = i + 1 == lines.size();
            const bool cutNext = !last && lines[i + 1].text == journal::cutLine();
            if (lines[i].text && take(lines[i].number, *lines[i].text)) continue;
            // A line that a dying run left half-written: closed by the next run, or the file's end.
            if (cutNext) {
                warn(QStringLiteral("la línea %1 del diario %2 quedó cortada (la corrida que la escribía se interrumpió): "
                                    "se omite y se repone todo lo demás")
                         .arg(lines[i].number)
                         .arg(path_));
                cutInVoucher_ = true;
                continue;
            }
            if (last && !endsWithNewline_ && runOpen_ && lines[i].number > 1) {
                warn(QStringLiteral("el diario %1 está cortado en la línea %2: se repone hasta la última sentencia "
                                    "completa (línea %3)")
                         .arg(path_)
                         .arg(lines[i].number)
                         .arg(script_.statements.empty() ? 0 : script_.statements.back().line));
                runOpen_ = false;
                announced_ = -1;
                break;
            }
            refuse(QStringLiteral("la línea %1 no es una línea de un diario de borrado%2 (diario dañado o cambiado)")
                       .arg(lines[i].number)
                       .arg(why_.isEmpty() ? QString() : QStringLiteral(": ") + why_));
        }
        // A file that ends inside a voucher lost its end with the run that wrote it.
        if (announced_ >= 0 && seen_ < announced_) {
            runOpen_ = true;
            announced_ = -1;
        }
        closeVoucher();
        if (runOpen_ || interrupted_)
            warn(QStringLiteral("el diario %1 termina sin la línea final de su corrida: la corrida se interrumpió o el "
                                "archivo está cortado; se repone lo que tiene (%2 sentencias)")
                     .arg(path_)
                     .arg(script_.statements.size()));
        return std::move(script_);
    }

private:
    std::vector<Line> split(QByteArray bytes) {
        if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
        if (!bytes.startsWith(journal::kSignature)) refuse(QStringLiteral("no es un diario de borrado de stockfix"));
        endsWithNewline_ = bytes.endsWith('\n');
        QList<QByteArray> parts = bytes.split('\n');
        if (endsWithNewline_) parts.removeLast();
        std::vector<Line> lines;
        lines.reserve(size_t(parts.size()));
        const QByteArray signature =
            QStringLiteral("%1 de %2").arg(QLatin1String(journal::kSignature), QLatin1String(journal::kTable)).toUtf8();
        auto decoded = [](const QByteArray& bytes) -> std::optional<QString> {
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            QString text = utf8.decode(bytes);
            if (utf8.hasError()) return std::nullopt;
            return text;
        };
        for (qsizetype i = 0; i < parts.size(); ++i) {
            QByteArray& part = parts[i];
            if (part.endsWith('\r')) part.chop(1);
            // A run of before appended its first line right after the torn last line of a run
            // that died: the two are taken apart, and the torn one is left out.
            if (part.size() > signature.size() && part.endsWith(signature)) {
                lines.push_back({int(i + 1), decoded(part.left(part.size() - signature.size()))});
                lines.push_back({int(i + 1), journal::cutLine()});
                lines.push_back({int(i + 1), QString::fromUtf8(signature)});
                continue;
            }
            lines.push_back({int(i + 1), decoded(part)});
        }
        return lines;
    }

    [[noreturn]] void refuse(const QString& why) const { throw JournalRefused(path_, why); }
    void warn(const QString& what) { script_.warning += (script_.warning.isEmpty() ? QString() : QStringLiteral("\n")) + what; }

    void closeVoucher() {
        if (announced_ >= 0 && seen_ != announced_ && !(cutInVoucher_ && seen_ < announced_))
            refuse(QStringLiteral("el comprobante de la línea %1 anuncia %2 filas y el diario tiene %3 (diario dañado)")
                       .arg(announcedAt_)
                       .arg(announced_)
                       .arg(seen_));
        announced_ = -1;
        cutInVoucher_ = false;
    }

    static std::optional<std::pair<long long, long long>> counts(const QRegularExpression& shape, const QString& line) {
        const QRegularExpressionMatch m = shape.match(line);
        if (!m.hasMatch()) return std::nullopt;
        return std::pair{m.captured(1).toLongLong(), m.captured(2).toLongLong()};
    }

    // One whole line: false when it is no line of a journal (why_ says why, for a statement).
    bool take(int number, const QString& line) {
        static const QRegularExpression voucher(QStringLiteral("^-- Comprobante .*: (\\d{1,9}) filas$"));
        static const QRegularExpression batch(QStringLiteral("^-- Lote confirmado: (\\d{1,9}) comprobantes, (\\d{1,12}) filas\\.$"));
        static const QRegularExpression end(QStringLiteral("^-- Fin de la corrida: (\\d{1,9}) comprobantes, (\\d{1,12}) filas\\.$"));
        why_.clear();
        if (line.startsWith(QLatin1String(journal::kSignature))) {
            if (line != QStringLiteral("%1 de %2").arg(QLatin1String(journal::kSignature), QLatin1String(journal::kTable)))
                return false;
            // A run that never wrote its last line died: its last voucher may be short too.
            if (runOpen_) cutInVoucher_ = true;
            closeVoucher();
            interrupted_ = interrupted_ || runOpen_;
            runOpen_ = true;
            inHeader_ = true;
            legacy_ = true;
            dialect_.reset();
            columns_.reset();
            runVouchers_ = runRows_ = 0;
            pendingFrom_ = script_.statements.size();
            pendingVouchers_ = 0;
            return true;
        }
        if (line.isEmpty() || line == QLatin1String(journal::kGo) || line == QLatin1String(journal::kNoCount) ||
            line == journal::identityLine(true) || line == journal::identityLine(false))
            return true;
        if (line == journal::cutLine()) {
            cutInVoucher_ = true;
            return true;
        }
        if (!runOpen_) return false;
        if (inHeader_ && line.startsWith(QStringLiteral("-- Motor: "))) {
            const QString engine = line.mid(10);
            if (engine == journal::engineName(Dialect::Sqlite)) dialect_ = Dialect::Sqlite;
            else if (engine == journal::engineName(Dialect::SqlServer)) dialect_ = Dialect::SqlServer;
            else return false;
            return true;
        }
        if (inHeader_ && line.startsWith(QStringLiteral("-- Columnas: "))) {
            const auto names = journal::parseColumnList(QStringView(line).mid(13));
            if (!names || journal::columnList(*names) != line.mid(13)) return false;
            columns_ = *names;
            legacy_ = false;  // a run of this format says when each batch committed
            return true;
        }
        for (const char* start : kCommentLines)
            if (line.startsWith(QString::fromUtf8(start))) return inHeader_;
        if (const QRegularExpressionMatch m = voucher.match(line); m.hasMatch()) {
            closeVoucher();
            inHeader_ = false;
            announced_ = m.captured(1).toInt();
            announcedAt_ = number;
            seen_ = 0;
            ++runVouchers_;
            ++pendingVouchers_;
            return true;
        }
        if (const auto n = counts(batch, line)) {
            closeVoucher();
            const long long rows = qsizetype(script_.statements.size() - pendingFrom_);
            if (n->first != pendingVouchers_ || n->second != rows)
                refuse(QStringLiteral("la línea %1 confirma %2 comprobantes y %3 filas, y el lote tiene %4 y %5 (diario dañado)")
                           .arg(number)
                           .arg(n->first)
                           .arg(n->second)
                           .arg(pendingVouchers_)
                           .arg(rows));
            for (size_t i = pendingFrom_; i < script_.statements.size(); ++i) script_.statements[i].confirmed = true;
            pendingFrom_ = script_.statements.size();
            pendingVouchers_ = 0;
            return true;
        }
        if (const auto n = counts(end, line)) {
            closeVoucher();
            if (n->first != runVouchers_ || n->second != runRows_)
                refuse(QStringLiteral("la línea %1 cuenta %2 comprobantes y %3 filas, y el diario tiene %4 y %5 (diario dañado)")
                           .arg(number)
                           .arg(n->first)
                           .arg(n->second)
                           .arg(runVouchers_)
                           .arg(runRows_));
            runOpen_ = false;
            return true;
        }
        if (line.startsWith(QStringLiteral("-- La corrida se detuvo: "))) {
            closeVoucher();
            runOpen_ = false;
            return true;
        }
        if (!line.startsWith(QStringLiteral("INSERT INTO "))) return false;
        if (announced_ < 0) {
            why_ = QStringLiteral("una sentencia fuera de un comprobante");
            return false;
        }
        if (!dialect_) {
            why_ = QStringLiteral("la corrida no dice su motor");
            return false;
        }
        auto insert = journal::parseInsert(line, *dialect_, &why_);
        if (!insert) return false;
        if (!columns_) columns_ = insert->columns;  // a run of before the columns line: its first row names them
        if (insert->columns != *columns_) {
            why_ = QStringLiteral("sus columnas no son las de la corrida");
            return false;
        }
        script_.statements.push_back({number, *dialect_, std::move(*insert), legacy_});
        ++seen_;
        ++runRows_;
        return true;
    }

    QString path_;
    JournalScript script_;
    QString why_;
    bool endsWithNewline_ = false;
    bool runOpen_ = false, interrupted_ = false, inHeader_ = false, legacy_ = true, cutInVoucher_ = false;
    std::optional<Dialect> dialect_;
    std::optional<QStringList> columns_;
    int announced_ = -1, announcedAt_ = 0, seen_ = 0;
    long long runVouchers_ = 0, runRows_ = 0;
    size_t pendingFrom_ = 0;
    long long pendingVouchers_ = 0;
};

// The table's columns as the engine has them now: every name, and those it writes itself.
struct TableColumns {
    QSet<QString> names;  // lower case
    QSet<QString> generated;
    QString identity;
};

TableColumns tableColumns(utility::DataAccess& session, Dialect dialect) {
    TableColumns t;
    if (dialect == Dialect::Sqlite) {
        const QStringList names =
            session.OpenQuery(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(QLatin1String(journal::kTable))).columnNames();
        for (const QString& name : names) t.names.insert(name.toLower());
        return t;
    }
    utility::Statement q = session.OpenQuery(sqlServerColumnsQuery());
    while (q.next()) {
        const QString name = q.value(0).toString().toLower();
        const QString type = q.value(1).toString().toLower();
        t.names.insert(name);
        if (q.value(3).toInt() == 1 || type == u"timestamp" || type == u"rowversion") t.generated.insert(name);
        if (q.value(2).toInt() == 1) t.identity = name;
    }
    return t;
}

// What the writer of today builds for the row: the columns the engine writes itself are
// left out (older journals named them, and no insert may).
journal::Insert withoutGenerated(const journal::Insert& in, const TableColumns& table) {
    if (table.generated.isEmpty()) return in;
    journal::Insert out;
    out.copy = in.copy;
    for (qsizetype i = 0; i < in.columns.size(); ++i) {
        if (table.generated.contains(journal::unquotedName(in.columns[i]).value_or(QString()).toLower())) continue;
        out.columns << in.columns[i];
        out.values.push_back(in.values[size_t(i)]);
        out.comparisons.push_back(in.comparisons[size_t(i)]);
    }
    return out;
}

}  // namespace

JournalRefused::JournalRefused(const QString& path, const QString& why)
    : platform::RuntimeError(platform::kBadFileMode, QStringLiteral("%1 no se puede reponer: %2").arg(path, why)) {}

JournalScript LeerDiario(const QString& path) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) throw JournalRefused(path, QStringLiteral("no es un archivo común"));
    // Larger than any journal a run writes, and than the memory it would take to read.
    if (info.size() > (qint64(16) << 30)) throw JournalRefused(path, QStringLiteral("es demasiado grande para un diario"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw JournalRefused(path, file.errorString());
    if (platform::lockedByAnother(path))
        throw JournalRefused(path, QStringLiteral("una corrida lo está escribiendo ahora; repóngalo cuando termine"));
    try {
        return LeerDiarioDeBytes(path, file.readAll());
    } catch (const std::bad_alloc&) {
        throw JournalRefused(path, QStringLiteral("no hay memoria para leerlo"));
    }
}

JournalScript LeerDiarioDeBytes(const QString& path, const QByteArray& bytes) { return Reader(path).read(bytes); }

RestoreCount ReponerDiario(utility::DataAccess& session, const JournalScript& script) {
    const Dialect dialect = utility::speaksSqlite(session.backend()) ? Dialect::Sqlite : Dialect::SqlServer;
    // Everything is checked before anything runs.
    const TableColumns table = tableColumns(session, dialect);
    std::vector<QString> texts;
    texts.reserve(script.statements.size());
    bool identity = false;
    QStringList checked;
    for (const JournalStatement& s : script.statements) {
        if (s.dialect != dialect)
            throw JournalRefused(script.path, QStringLiteral("la línea %1 se escribió para %2 y la sesión es de %3")
                                                  .arg(s.line)
                                                  .arg(journal::engineName(s.dialect), journal::engineName(dialect)));
        if (s.insert.columns != checked) {
            for (const QString& c : s.insert.columns) {
                const QString name = journal::unquotedName(c).value_or(c).toLower();
                if (!table.names.contains(name))
                    throw JournalRefused(script.path, QStringLiteral("la línea %1 nombra la columna %2, que %3 no tiene")
                                                          .arg(s.line)
                                                          .arg(c, QLatin1String(journal::kTable)));
                identity = identity || (!table.identity.isEmpty() && name == table.identity);
            }
            checked = s.insert.columns;
        }
        texts.push_back(journal::insertText(withoutGenerated(s.insert, table), dialect));
    }

    RestoreCount count;
    // A session setting, sent by direct execution: prepared, SQL Server keeps it for that
    // statement only.
    if (identity) session.ExecuteDirect(journal::identityLine(true));
    auto identityOff = qScopeGuard([&] {
        if (!identity) return;
        try {
            session.ExecuteDirect(journal::identityLine(false));
        } catch (const platform::RuntimeError&) {
        }
    });
    utility::Transaction transaction(session);
    for (size_t i = 0; i < texts.size(); ++i) {
        const JournalStatement& s = script.statements[i];
        long long rows = 0;
        try {
            rows = session.ExecuteSql(texts[i]);
        } catch (const platform::RuntimeError& e) {
            throw platform::RuntimeError(e.number(), QStringLiteral("línea %1 del diario: %2").arg(s.line).arg(e.description()),
                                         e.source());
        }
        const bool back = rows > 0;
        if (s.confirmed) (back ? count.restored : count.present) += back ? rows : 1;
        else (back ? count.unconfirmedRestored : count.unconfirmedPresent) += back ? rows : 1;
    }
    transaction.commit();
    return count;
}

}  // namespace correction
