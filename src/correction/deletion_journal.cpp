#include "correction/deletion_journal.h"

#include "correction/correction_sql.h"
#include "platform/application.h"
#include "platform/runtime_error.h"
#include "startup/session_values.h"
#include "utility/data_access.h"

#include <QDateTime>
#include <QFile>
#include <QSqlError>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSqlField>
#include <QSqlQuery>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#ifndef STOCKFIX_VERSION
#define STOCKFIX_VERSION "0"
#endif

namespace correction {

namespace {

const char kTable[] = "V_MV_Stock";

QString errnoText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Makes a new file's directory entry durable too.
void syncFolder(const QString& folder) {
    const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

}  // namespace

JournalSettings& journalSettings() {
    static JournalSettings settings;
    return settings;
}

QStringList journalFolders() {
    QStringList folders;
    // An installed program's folder (/usr/bin) is no place for data, even for root.
    const QString app = QDir::cleanPath(platform::App().path);
    const bool system = app == u"/bin" || app == u"/sbin" || app.startsWith(QStringLiteral("/usr/"));
    if (!app.isEmpty() && !system) folders << QDir(app).filePath(QStringLiteral("diarios"));
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!data.isEmpty()) folders << QDir(data).filePath(QStringLiteral("stockfix/diarios"));
    return folders;
}

DeletionJournal::DeletionJournal(utility::DataAccess& session, const QString& selection, const JournalSettings& settings)
    : session_(session),
      dialect_(session.engine() == utility::DataAccess::Engine::Sqlite ? Dialect::Sqlite : Dialect::SqlServer) {
    readColumns();
    open(settings);
    try {
        writeHeader(selection);
    } catch (...) {
        ::close(fd_);
        fd_ = -1;
        throw;
    }
    if (settings.opened) settings.opened(path_);
}

void DeletionJournal::writeHeader(const QString& selection) {
    const QDateTime local = QDateTime::currentDateTime();
    const QString now = local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
    QString header;
    header += QStringLiteral("-- stockfix: diario de borrado de %1\n").arg(QLatin1String(kTable));
    header += QStringLiteral("-- Fecha: %1\n").arg(now);
    header += QStringLiteral("-- Servidor: %1\n").arg(commentText(session_.Server()));
    header += QStringLiteral("-- Base de datos: %1\n").arg(commentText(session_.DatabaseName()));
    header += QStringLiteral("-- Usuario: %1\n").arg(commentText(startup::gUsuarioLogeado));
    header += QStringLiteral("-- Programa: stockfix %1\n").arg(QLatin1String(STOCKFIX_VERSION));
    header += QStringLiteral("-- Motor: %1\n").arg(dialect_ == Dialect::Sqlite ? u"SQLite" : u"SQL Server");
    header += QStringLiteral("-- Selección: %1\n").arg(commentText(selection));
    header += QStringLiteral(
        "-- Cada INSERT repone una fila borrada si no está: correr el diario otra vez no cambia nada.\n"
        "-- Para reponer: stockfix --restore ESTE_ARCHIVO CLAVES...\n"
        "--           o: sqlcmd -S SERVIDOR -d BASE -f 65001 -i ESTE_ARCHIVO\n"
        "SET NOCOUNT ON;\n");
    if (identity_) header += QStringLiteral("SET IDENTITY_INSERT %1 ON;\n").arg(QLatin1String(kTable));
    header += QStringLiteral("GO\n");
    pending_ = header;
    sync();
}

DeletionJournal::~DeletionJournal() {
    if (fd_ >= 0) ::close(fd_);
}

void DeletionJournal::raise(const QString& what) const {
    throw platform::RuntimeError(platform::kPathFileAccessError,
                                 QStringLiteral("No se pudo escribir el diario de borrado %1: %2").arg(path_, what));
}

void DeletionJournal::open(const JournalSettings& settings) {
    if (!settings.file.isEmpty()) {
        path_ = QFileInfo(settings.file).absoluteFilePath();
        // Runs are appended to a journal, never to another file (the database itself, say).
        QFile existing(path_);
        if (existing.exists() && existing.size() > 0) {
            if (!existing.open(QIODevice::ReadOnly)) raise(existing.errorString());
            QByteArray start = existing.read(64);
            if (start.startsWith("\xEF\xBB\xBF")) start.remove(0, 3);
            if (!start.startsWith(kJournalSignature))
                raise(QStringLiteral("el archivo ya existe y no es un diario de borrado: no se le agrega nada"));
        }
        fd_ = ::open(QFile::encodeName(path_).constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        if (fd_ < 0) raise(errnoText(errno));
        syncFolder(QFileInfo(path_).absolutePath());
    } else {
        const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QString why;
        for (const QString& folder : journalFolders()) {
            if (!QDir().mkpath(folder)) {
                why = QStringLiteral("no se pudo crear la carpeta %1").arg(folder);
                continue;
            }
            for (int n = 1; n < 1000 && fd_ < 0; ++n) {
                path_ = QDir(folder).absoluteFilePath(
                    n == 1 ? QStringLiteral("borrado-%1.sql").arg(stamp) : QStringLiteral("borrado-%1-%2.sql").arg(stamp).arg(n));
                fd_ = ::open(QFile::encodeName(path_).constData(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
                if (fd_ < 0 && errno != EEXIST) break;
            }
            if (fd_ >= 0) {
                syncFolder(folder);
                break;
            }
            why = QStringLiteral("%1: %2").arg(path_, errnoText(errno));
        }
        if (fd_ < 0) {
            path_ = journalFolders().join(QStringLiteral(", "));
            raise(why);
        }
    }
    // A byte-order mark lets sqlcmd read the file as UTF-8.
    if (::lseek(fd_, 0, SEEK_END) == 0) write(QByteArray("\xEF\xBB\xBF"));
}

// The table's columns as the run reads them. On SQL Server exact numbers travel as text
// with every digit, and an identity column needs IDENTITY_INSERT.
void DeletionJournal::readColumns() {
    {
        QSqlQuery q = session_.OpenQuery(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(QLatin1String(kTable)));
        columns_ = q.record();
    }
    QStringList names, reads;
    for (int i = 0; i < columns_.count(); ++i) {
        const QSqlField field = columns_.field(i);
        const QString name = quotedName(field.name());
        names << name;
        if (dialect_ == Dialect::SqlServer && isExactNumber(field))
            reads << QStringLiteral("CAST(CAST(%1 AS decimal(38, %2)) AS varchar(60)) AS %1")
                         .arg(name)
                         .arg(std::clamp(field.precision(), 0, 38));
        else reads << name;
    }
    columnList_ = u'(' + names.join(QStringLiteral(", ")) + u')';
    quotedNames_ = names;
    for (int i = 0; i < columns_.count(); ++i) fields_.push_back(columns_.field(i));
    selectList_ = dialect_ == Dialect::Sqlite ? QStringLiteral("*") : reads.join(QStringLiteral(", "));
    literalsFromEngine_ = dialect_ == Dialect::Sqlite && session_.database().driverName() != QLatin1String("QSQLITE");
    if (literalsFromEngine_) {
        // quote() writes integers and reals so that SQLite reads back the same value, and
        // blobs as X'..'; text goes as its bytes, so no character depends on the driver.
        QStringList literals;
        for (const QString& name : names)
            literals << QStringLiteral("CASE typeof(%1) WHEN 'text' THEN 'CAST(X''' || hex(%1) || ''' AS TEXT)' "
                                       "ELSE quote(%1) END")
                            .arg(name);
        selectList_ = literals.join(QStringLiteral(", "));
    }
    if (dialect_ == Dialect::SqlServer) {
        QSqlQuery q = session_.OpenQuery(
            QStringLiteral("SELECT OBJECTPROPERTY(OBJECT_ID(N'%1'), 'TableHasIdentity')").arg(QLatin1String(kTable)));
        identity_ = q.next() && q.value(0).toInt() == 1;
    }
}

int DeletionJournal::addVoucher(const QVariant& tc, const QVariant& idComprobante) {
    // On SQL Server the rows stay locked, and no row joins the voucher, until the end of
    // the transaction; on SQLite the transaction already holds the write lock.
    QSqlQuery q;
    const bool named = !tc.isNull() && !idComprobante.isNull();
    if (named && session_.database().driverName() == QLatin1String("QSQLITE")) {
        // Bound as the texts the deletion writes between quotes: the same rows, one parse.
        if (!byVoucher_.isActive() && byVoucher_.lastQuery().isEmpty())
            byVoucher_ = session_.PrepareQuery(QStringLiteral("SELECT * FROM V_MV_STOCK WHERE TC = ? AND IDCOMPROBANTE = ?"));
        byVoucher_.bindValue(0, tc.toString());
        byVoucher_.bindValue(1, idComprobante.toString());
        session_.RunQuery(byVoucher_);
        q = byVoucher_;
    } else {
        const QString hint = dialect_ == Dialect::SqlServer ? QStringLiteral(" WITH (UPDLOCK, HOLDLOCK)") : QString();
        q = session_.OpenQuery(QStringLiteral("SELECT %1 FROM V_MV_STOCK%2 WHERE ").arg(selectList_, hint) +
                               CondicionComprobante(tc, idComprobante));
    }
    QString block;
    QHash<QString, int> copies;  // rows equal in every column: each copy comes back
    int rows = 0;
    const int columns = columns_.count();
    const QLatin1String table(kTable);
    QString values, where, literal;
    while (q.next()) {
        values.clear();
        where.clear();
        for (int i = 0; i < columns; ++i) {
            const QVariant value = q.value(i);
            const QSqlField& field = fields_[size_t(i)];
            if (i > 0) {
                values += QLatin1String(", ");
                where += QLatin1String(" AND ");
            }
            if (literalsFromEngine_) {
                literal = value.toString();
                if (literal == u"Inf") literal = QStringLiteral("9e999");  // what SQLite reads as infinity
                else if (literal == u"-Inf") literal = QStringLiteral("-9e999");
                values += literal;
                where += quotedNames_[i];
                if (literal == u"NULL") where += QLatin1String(" IS NULL");
                else where += QLatin1String(" = ") + literal + QLatin1String(" COLLATE BINARY");
                continue;
            }
            literal = literalSql(value, field, dialect_);
            values += literal;
            appendEquals(where, quotedNames_[i], literal, value, field, dialect_);
        }
        const int copy = ++copies[values];
        block += QLatin1String("INSERT INTO ") + table + u' ' + columnList_ + QLatin1String(" SELECT ") + values +
                 QLatin1String(" WHERE ");
        if (copy == 1) {
            block += QLatin1String("NOT EXISTS (SELECT 1 FROM ") + table + QLatin1String(" WHERE ") + where +
                     QLatin1String(");\n");
        } else {
            block += QLatin1String("(SELECT COUNT(*) FROM ") + table + QLatin1String(" WHERE ") + where +
                     QLatin1String(") < ") + QString::number(copy) + QLatin1String(";\n");
        }
        ++rows;
    }
    if (q.lastError().isValid()) throw platform::RuntimeError(platform::kDatabaseError, q.lastError().text());
    q.finish();
    pending_ += QStringLiteral("-- Comprobante TC = %1, IDCOMPROBANTE = %2: %3 filas\n")
                    .arg(commentText(literalSql(tc, QSqlField(), dialect_)),
                         commentText(literalSql(idComprobante, QSqlField(), dialect_)))
                    .arg(rows);
    pending_ += block;
    ++vouchers_;
    rows_ += rows;
    return rows;
}

void DeletionJournal::write(const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, data, size_t(left));
        if (n < 0) {
            if (errno == EINTR) continue;
            raise(errnoText(errno));
        }
        data += n;
        left -= n;
    }
}

void DeletionJournal::sync() {
    if (!pending_.isEmpty()) {
        if (!pending_.endsWith(QStringLiteral("GO\n"))) pending_ += QStringLiteral("GO\n");
        const QByteArray bytes = pending_.toUtf8();
        pending_.clear();
        write(bytes);
    }
    if (::fsync(fd_) != 0) raise(errnoText(errno));
}

void DeletionJournal::finish() {
    pending_ += QStringLiteral("-- Fin de la corrida: %1 comprobantes, %2 filas.\n").arg(vouchers_).arg(rows_);
    if (identity_) pending_ += QStringLiteral("SET IDENTITY_INSERT %1 OFF;\n").arg(QLatin1String(kTable));
    sync();
}

void DeletionJournal::stopped(const QString& why) noexcept {
    try {
        pending_.clear();
        pending_ += QStringLiteral("-- La corrida se detuvo: %1\n").arg(commentText(why));
        if (identity_) pending_ += QStringLiteral("SET IDENTITY_INSERT %1 OFF;\n").arg(QLatin1String(kTable));
        sync();
    } catch (...) {
    }
}

}  // namespace correction
