#include "correction/deletion_journal.h"

#include "correction/correction_sql.h"
#include "platform/application.h"
#include "startup/valores_sesion.h"
#include "utility/data_access.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

#ifndef STOCKFIX_VERSION
#define STOCKFIX_VERSION "0"
#endif

namespace correction {

namespace {

const QLatin1String kTable(journal::kTable);

// The files a SQLite database keeps beside itself: never a journal, even when empty.
bool isDatabaseCompanion(const QString& journalPath, const QString& database) {
    if (database.trimmed().isEmpty()) return false;
    const QString db = QFileInfo(database).absoluteFilePath();
    const QString j = QFileInfo(journalPath).absoluteFilePath();
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        if (j == db + QLatin1String(suffix)) return true;
    const QString canonical = QFileInfo(database).canonicalFilePath();
    const QString folder = QFileInfo(QFileInfo(journalPath).absolutePath()).canonicalFilePath();
    const QString jc = QDir(folder).filePath(QFileInfo(journalPath).fileName());
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        if (!canonical.isEmpty() && jc == canonical + QLatin1String(suffix)) return true;
    return false;
}

}  // namespace

JournalInUse::JournalInUse(const QString& path)
    : platform::RuntimeError(platform::kPermissionDenied,
                             QStringLiteral("El diario de borrado %1 está en uso por otra corrida: esta corrida no "
                                            "borra nada. Espere a que termine, o indique otro --journal.")
                                 .arg(path)) {}

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
      dialect_(utility::speaksSqlite(session.backend()) ? Dialect::Sqlite : Dialect::SqlServer),
      columns_(journalColumns(session, dialect_)),
      quotedNames_(columns_.quotedNames()) {
    QStringList reads;
    for (const JournalColumn& c : columns_.columns) reads << c.readExpression();
    selectList_ = reads.join(QStringLiteral(", "));
    open(settings);
    writeHeader(selection);
    if (settings.opened) settings.opened(path_);
}

QString DeletionJournal::hidden(const QString& text) const { return utility::DataAccess::hidePasswords(text); }

void DeletionJournal::writeHeader(const QString& selection) {
    const QDateTime local = QDateTime::currentDateTime();
    const QString now = local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
    QStringList lines;
    lines << QStringLiteral("%1 de %2").arg(QLatin1String(journal::kSignature), kTable);
    lines << journal::headerLine(QStringLiteral("Fecha"), now);
    // Every text of the session passes the password hider: a value that swallowed
    // "@Password=..." for a forgotten ";" never reaches the file.
    lines << journal::headerLine(QStringLiteral("Servidor"), hidden(session_.Server()));
    lines << journal::headerLine(QStringLiteral("Base de datos"), hidden(session_.DatabaseName()));
    lines << journal::headerLine(QStringLiteral("Usuario"), hidden(startup::gUsuarioLogeado));
    lines << journal::headerLine(QStringLiteral("Programa"), QStringLiteral("stockfix %1").arg(QLatin1String(STOCKFIX_VERSION)));
    lines << journal::headerLine(QLatin1String(journal::kEngineLabel), journal::engineName(dialect_));
    lines << journal::headerLine(QStringLiteral("Selección"), hidden(selection));
    lines << journal::headerLine(QLatin1String(journal::kColumnsLabel), journal::columnList(quotedNames_));
    if (!columns_.generated.isEmpty())
        lines << journal::headerLine(QStringLiteral("Columnas que escribe el motor"), columns_.generated.join(QStringLiteral(", ")));
    lines << QStringLiteral("-- Cada INSERT repone una fila borrada si no está: correr el diario otra vez no cambia nada.")
          << QStringLiteral("-- Para reponer: stockfix --restore ESTE_ARCHIVO CLAVES...")
          << QStringLiteral("--           o: sqlcmd -S SERVIDOR -d BASE -x -f 65001 -i ESTE_ARCHIVO")
          << QLatin1String(journal::kNoCount);
    if (columns_.identity) lines << journal::identityLine(true);
    lines << QLatin1String(journal::kGo);
    pending_ = lines.join(u'\n') + u'\n';
    sync();
}

void DeletionJournal::raise(const QString& what) const {
    throw platform::RuntimeError(platform::kPathFileAccessError,
                                 QStringLiteral("No se pudo escribir el diario de borrado %1: %2").arg(path_, what));
}

void DeletionJournal::openNamed(const QString& file) {
    path_ = QFileInfo(file).absoluteFilePath();
    if (isDatabaseCompanion(path_, session_.DatabaseName()))
        raise(QStringLiteral("es la base de datos o uno de sus archivos (-wal, -shm, -journal): no se le agrega nada"));
    bool existed = false;
    if (const QString why = file_.open(path_, platform::AppendFile::Mode::CreateOrAppend, &existed); !why.isEmpty())
        raise(why);
    if (!file_.tryLock()) {
        file_.close();
        throw JournalInUse(path_);
    }
    // Runs are appended to a journal, never to another file (the database itself, say).
    if (file_.size() > 0) {
        QByteArray start = file_.head(64);
        if (start.startsWith("\xEF\xBB\xBF")) start.remove(0, 3);
        if (!start.startsWith(journal::kSignature)) {
            file_.close();
            raise(QStringLiteral("el archivo ya existe y no es un diario de borrado: no se le agrega nada"));
        }
    }
    platform::syncFolder(QFileInfo(path_).absolutePath());
}

void DeletionJournal::open(const JournalSettings& settings) {
    if (!settings.file.isEmpty()) {
        openNamed(settings.file);
    } else {
        const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QString why;
        for (const QString& folder : journalFolders()) {
            if (const QString problem = platform::makePrivateFolder(folder); !problem.isEmpty()) {
                why = problem;
                continue;
            }
            bool opened = false;
            for (int n = 1; n < 1000 && !opened; ++n) {
                path_ = QDir(folder).absoluteFilePath(
                    n == 1 ? QStringLiteral("borrado-%1.sql").arg(stamp) : QStringLiteral("borrado-%1-%2.sql").arg(stamp).arg(n));
                bool existed = false;
                why = file_.open(path_, platform::AppendFile::Mode::CreateNew, &existed);
                opened = why.isEmpty();
                if (!opened && !existed) break;
            }
            if (opened && file_.tryLock()) {
                platform::syncFolder(folder);
                break;
            }
            if (opened) why = QStringLiteral("otro proceso tomó el archivo");
            file_.close();
            why = QStringLiteral("%1: %2").arg(path_, why);
        }
        if (!file_.isOpen()) {
            path_ = journalFolders().join(QStringLiteral(", "));
            raise(why);
        }
    }
    closeTornLine();
    // A byte-order mark lets sqlcmd read the file as UTF-8.
    if (file_.size() == 0) write(QByteArray("\xEF\xBB\xBF"));
}

// A run that died mid-line (killed, out of disk) left a line without its end: it is closed
// and marked, so that what follows starts on a line of its own and the cut one is skipped.
void DeletionJournal::closeTornLine() {
    const int last = file_.lastByte();
    if (last >= 0 && last != '\n') write(u'\n' + journal::cutLine().toUtf8() + '\n');
}

int DeletionJournal::addVoucher(const QVariant& tc, const QVariant& idComprobante) {
    // On SQL Server the rows stay locked, and no row joins the voucher, until the end of
    // the transaction; on SQLite the transaction already holds the write lock.
    utility::Statement other;
    utility::Statement* q = &other;
    const bool named = !tc.isNull() && !idComprobante.isNull();
    const bool native = session_.backend() == utility::Backend::NativeSqlite;
    const QString condition = CondicionComprobante(tc, idComprobante);
    if (named && native) {
        // Bound as the texts the deletion writes between quotes: the same rows, one parse.
        if (!byVoucher_.isPrepared())
            byVoucher_ = session_.PrepareQuery(QStringLiteral("SELECT %1 FROM V_MV_STOCK WHERE TC = ? AND IDCOMPROBANTE = ?")
                                                   .arg(selectList_));
        byVoucher_.bind(0, tc.toString());
        byVoucher_.bind(1, idComprobante.toString());
        session_.RunQuery(byVoucher_);
        q = &byVoucher_;
    } else {
        const QString hint = dialect_ == Dialect::SqlServer ? QStringLiteral(" WITH (UPDLOCK, HOLDLOCK)") : QString();
        other = session_.OpenQuery(QStringLiteral("SELECT %1 FROM V_MV_STOCK%2 WHERE ").arg(selectList_, hint) + condition);
    }
    QString block;
    int rows = readRows(*q, columns_.columns, block);
    if (rows < 0) {
        // A text that is no valid UTF-8 reads as replacement characters: SQLite itself writes
        // the voucher's literals then, from the bytes it keeps.
        std::vector<JournalColumn> exact = columns_.columns;
        QStringList reads;
        for (JournalColumn& c : exact) {
            c.kind = JournalColumn::Kind::EngineLiteral;
            reads << c.readExpression();
        }
        other = session_.OpenQuery(QStringLiteral("SELECT %1 FROM V_MV_STOCK WHERE ").arg(reads.join(QStringLiteral(", "))) +
                                   condition);
        block.clear();
        rows = readRows(other, exact, block);
    }
    pending_ += journal::voucherLine(valueLiteral(tc), valueLiteral(idComprobante), dialect_, rows) + u'\n';
    pending_ += block;
    ++vouchers_;
    rows_ += rows;
    return rows;
}

// One idempotent insert per row read into `block`; the number of rows, or -1 when a text
// came back with replacement characters from the native driver (it may not be exact).
int DeletionJournal::readRows(utility::Statement& q, const std::vector<JournalColumn>& columns, QString& block) {
    QHash<QString, int> copies;  // rows equal in every column: each copy comes back
    int rows = 0;
    journal::Insert row;
    row.columns = quotedNames_;
    QString key;
    while (q.next()) {
        row.values.clear();
        row.comparisons.clear();
        key.clear();
        for (size_t i = 0; i < columns.size(); ++i) {
            const JournalColumn& column = columns[i];
            const QVariant value = q.value(int(i));
            if (column.kind == JournalColumn::Kind::Dynamic && value.metaType().id() == QMetaType::QString &&
                value.toString().contains(QChar::ReplacementCharacter)) {
                q.finish();
                return -1;
            }
            row.values.push_back(column.literal(value));
            const journal::Literal& literal = row.values.back();
            row.comparisons.push_back(column.comparison(literal));
            // The value itself, length-prefixed, without writing its SQL text twice.
            key += QChar(u'0' + int(literal.kind));
            key += QString::number(literal.text.size()) + u':' + literal.text;
            key += QString::number(literal.bytes.size()) + u':' +
                   QLatin1String(literal.bytes.constData(), literal.bytes.size());
        }
        row.copy = ++copies[key];
        block += journal::insertText(row, dialect_);
        block += u'\n';
        ++rows;
    }
    q.finish();
    return rows;
}

void DeletionJournal::write(const QByteArray& bytes) {
    if (const QString why = file_.write(bytes); !why.isEmpty()) raise(why);
}

void DeletionJournal::sync() {
    if (!pending_.isEmpty() || !confirmed_.isEmpty()) {
        if (!pending_.isEmpty() && !pending_.endsWith(QLatin1String("\nGO\n"))) pending_ += QLatin1String("GO\n");
        const QByteArray bytes = (confirmed_ + pending_).toUtf8();
        pending_.clear();
        confirmed_.clear();
        write(bytes);
    }
    if (const QString why = file_.sync(); !why.isEmpty()) raise(why);
    syncedVouchers_ = vouchers_ - batchVouchers_;
    syncedRows_ = rows_ - batchRows_;
}

void DeletionJournal::batchCommitted() {
    if (syncedVouchers_ == 0) return;
    confirmed_ += journal::batchLine(syncedVouchers_, syncedRows_) + u'\n';
    batchVouchers_ += syncedVouchers_;
    batchRows_ += syncedRows_;
    syncedVouchers_ = 0;
    syncedRows_ = 0;
}

void DeletionJournal::finish() {
    pending_ += journal::runEndLine(vouchers_, rows_) + u'\n';
    if (columns_.identity) pending_ += journal::identityLine(false) + u'\n';
    sync();
}

void DeletionJournal::stopped(const QString& why) noexcept {
    try {
        pending_.clear();  // a batch that never reached the disk: nothing of it was deleted
        if (!file_.isOpen()) return;
        closeTornLine();  // a write that failed half-way
        pending_ += journal::stopLine(hidden(why)) + u'\n';
        if (columns_.identity) pending_ += journal::identityLine(false) + u'\n';
        sync();
    } catch (...) {
    }
}

}  // namespace correction
