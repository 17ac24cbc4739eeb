#include "correction/diario_borrado.h"

#include "correction/textos_correccion.h"
#include "platform/application.h"
#include "platform/user_folders.h"
#include "startup/valores_sesion.h"
#include "utility/data_access.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>

#ifndef STOCKFIX_VERSION
#define STOCKFIX_VERSION "0"
#endif

namespace correction {

namespace {

const QLatin1String kTabla(diario::kTabla);

// The files a SQLite database keeps beside itself: never a journal, even when empty.
bool esArchivoDeLaBase(const QString& journalPath, const QString& database) {
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

DiarioEnUso::DiarioEnUso(const QString& path)
    : platform::RuntimeError(platform::kPermissionDenied,
                             QStringLiteral("El diario de borrado %1 está en uso por otra corrida: esta corrida no "
                                            "borra nada. Espere a que termine, o indique otro --journal.")
                                 .arg(path)) {}

AjustesDiario& ajustesDiario() {
    static AjustesDiario settings;
    return settings;
}

QStringList carpetasDiario() {
    QStringList folders;
    // An installed program's folder is no place for data, even for root.
    const QString app = QDir::cleanPath(platform::App().path);
    if (!app.isEmpty() && !platform::isSystemProgramFolder(app)) folders << QDir(app).filePath(QStringLiteral("diarios"));
    const QString data = platform::userDataFolder();
    if (!data.isEmpty()) folders << QDir(data).filePath(QStringLiteral("diarios"));
    return folders;
}

DiarioBorrado::DiarioBorrado(utility::DataAccess& session, const QString& selection, const AjustesDiario& settings)
    : sesion_(session),
      dialecto_(utility::speaksSqlite(session.backend()) ? Dialecto::Sqlite : Dialecto::SqlServer),
      columnas_(columnasDiario(session, dialecto_)),
      nombresEntreCorchetes_(columnas_.nombresEntreCorchetes()) {
    QStringList reads;
    for (const ColumnaDiario& c : columnas_.columnas) reads << c.expresionLectura();
    lecturas_ = reads.join(QStringLiteral(", "));
    abrir(settings);
    escribirEncabezado(selection);
    if (settings.alAbrir) settings.alAbrir(ruta_);
}

QString DiarioBorrado::sinClaves(const QString& text) const { return utility::DataAccess::hidePasswords(text); }

void DiarioBorrado::escribirEncabezado(const QString& selection) {
    const QDateTime local = QDateTime::currentDateTime();
    const QString now = local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
    QStringList lines;
    lines << QStringLiteral("%1 de %2").arg(QLatin1String(diario::kFirma), kTabla);
    lines << diario::lineaEncabezado(QStringLiteral("Fecha"), now);
    // Every text of the session passes the password hider: a value that swallowed
    // "@Password=..." for a forgotten ";" never reaches the file.
    lines << diario::lineaEncabezado(QStringLiteral("Servidor"), sinClaves(sesion_.Server()));
    lines << diario::lineaEncabezado(QStringLiteral("Base de datos"), sinClaves(sesion_.DatabaseName()));
    lines << diario::lineaEncabezado(QStringLiteral("Usuario"), sinClaves(startup::gUsuarioLogeado));
    lines << diario::lineaEncabezado(QStringLiteral("Programa"), QStringLiteral("stockfix %1").arg(QLatin1String(STOCKFIX_VERSION)));
    lines << diario::lineaEncabezado(QLatin1String(diario::kEtiquetaMotor), diario::nombreMotor(dialecto_));
    lines << diario::lineaEncabezado(QStringLiteral("Selección"), sinClaves(selection));
    lines << diario::lineaEncabezado(QLatin1String(diario::kEtiquetaColumnas), diario::listaColumnas(nombresEntreCorchetes_));
    if (!columnas_.generadas.isEmpty())
        lines << diario::lineaEncabezado(QStringLiteral("Columnas que escribe el motor"),
                                         columnas_.generadas.join(QStringLiteral(", ")));
    lines << QStringLiteral("-- Cada INSERT repone una fila borrada si no está: correr el diario otra vez no cambia nada.")
          << QStringLiteral("-- Para reponer: stockfix --restore ESTE_ARCHIVO CLAVES...")
          << QStringLiteral("--           o: sqlcmd -S SERVIDOR -d BASE -x -f 65001 -i ESTE_ARCHIVO")
          << QLatin1String(diario::kNoCount);
    if (columnas_.identidad) lines << diario::lineaIdentidad(true);
    lines << QLatin1String(diario::kGo);
    pendiente_ = lines.join(u'\n') + u'\n';
    sincronizar();
}

void DiarioBorrado::fallar(const QString& what) const {
    throw platform::RuntimeError(platform::kPathFileAccessError,
                                 QStringLiteral("No se pudo escribir el diario de borrado %1: %2").arg(ruta_, what));
}

void DiarioBorrado::abrirNombrado(const QString& file) {
    ruta_ = QFileInfo(file).absoluteFilePath();
    if (esArchivoDeLaBase(ruta_, sesion_.DatabaseName()))
        fallar(QStringLiteral("es la base de datos o uno de sus archivos (-wal, -shm, -journal): no se le agrega nada"));
    bool existed = false;
    if (const QString why = archivo_.open(ruta_, platform::AppendFile::Mode::CreateOrAppend, &existed); !why.isEmpty())
        fallar(why);
    if (!archivo_.tryLock()) {
        archivo_.close();
        throw DiarioEnUso(ruta_);
    }
    // Runs are appended to a journal, never to another file (the database itself, say).
    if (archivo_.size() > 0) {
        QByteArray start = archivo_.head(64);
        if (start.startsWith("\xEF\xBB\xBF")) start.remove(0, 3);
        if (!start.startsWith(diario::kFirma)) {
            archivo_.close();
            fallar(QStringLiteral("el archivo ya existe y no es un diario de borrado: no se le agrega nada"));
        }
    }
    platform::syncFolder(QFileInfo(ruta_).absolutePath());
}

void DiarioBorrado::abrir(const AjustesDiario& settings) {
    if (!settings.archivo.isEmpty()) {
        abrirNombrado(settings.archivo);
    } else {
        const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QString why;
        for (const QString& folder : carpetasDiario()) {
            if (const QString problem = platform::makePrivateFolder(folder); !problem.isEmpty()) {
                why = problem;
                continue;
            }
            bool opened = false;
            for (int n = 1; n < 1000 && !opened; ++n) {
                ruta_ = QDir(folder).absoluteFilePath(
                    n == 1 ? QStringLiteral("borrado-%1.sql").arg(stamp) : QStringLiteral("borrado-%1-%2.sql").arg(stamp).arg(n));
                bool existed = false;
                why = archivo_.open(ruta_, platform::AppendFile::Mode::CreateNew, &existed);
                opened = why.isEmpty();
                if (!opened && !existed) break;
            }
            if (opened && archivo_.tryLock()) {
                platform::syncFolder(folder);
                break;
            }
            if (opened) why = QStringLiteral("otro proceso tomó el archivo");
            archivo_.close();
            why = QStringLiteral("%1: %2").arg(ruta_, why);
        }
        if (!archivo_.isOpen()) {
            ruta_ = carpetasDiario().join(QStringLiteral(", "));
            fallar(why);
        }
    }
    cerrarLineaCortada();
    // A byte-order mark lets sqlcmd read the file as UTF-8.
    if (archivo_.size() == 0) escribir(QByteArray("\xEF\xBB\xBF"));
}

// A run that died mid-line (killed, out of disk) left a line without its end: it is closed
// and marked, so that what follows starts on a line of its own and the cut one is skipped.
void DiarioBorrado::cerrarLineaCortada() {
    const int last = archivo_.lastByte();
    if (last >= 0 && last != '\n') escribir(u'\n' + diario::lineaCortada().toUtf8() + '\n');
}

int DiarioBorrado::agregarComprobante(const QVariant& tc, const QVariant& idComprobante) {
    // On SQL Server the rows stay locked, and no row joins the voucher, until the end of
    // the transaction; on SQLite the transaction already holds the write lock.
    utility::Statement other;
    utility::Statement* q = &other;
    const bool named = !tc.isNull() && !idComprobante.isNull();
    const bool native = sesion_.backend() == utility::Backend::NativeSqlite;
    const QString condition = CondicionComprobante(tc, idComprobante);
    if (named && native) {
        // Bound as the texts the deletion writes between quotes: the same rows, one parse.
        if (!porComprobante_.isPrepared())
            porComprobante_ = sesion_.PrepareQuery(QStringLiteral("SELECT %1 FROM V_MV_STOCK WHERE TC = ? AND IDCOMPROBANTE = ?")
                                                   .arg(lecturas_));
        porComprobante_.bind(0, tc.toString());
        porComprobante_.bind(1, idComprobante.toString());
        sesion_.RunQuery(porComprobante_);
        q = &porComprobante_;
    } else {
        const QString hint = dialecto_ == Dialecto::SqlServer ? QStringLiteral(" WITH (UPDLOCK, HOLDLOCK)") : QString();
        other = sesion_.OpenQuery(QStringLiteral("SELECT %1 FROM V_MV_STOCK%2 WHERE ").arg(lecturas_, hint) + condition);
    }
    QString block;
    int rows = leerFilas(*q, columnas_.columnas, block);
    if (rows < 0) {
        // A text that is no valid UTF-8 reads as replacement characters: SQLite itself writes
        // the voucher's literals then, from the bytes it keeps.
        std::vector<ColumnaDiario> exact = columnas_.columnas;
        QStringList reads;
        for (ColumnaDiario& c : exact) {
            c.clase = ColumnaDiario::Clase::LiteralDelMotor;
            reads << c.expresionLectura();
        }
        other = sesion_.OpenQuery(QStringLiteral("SELECT %1 FROM V_MV_STOCK WHERE ").arg(reads.join(QStringLiteral(", "))) +
                                   condition);
        block.clear();
        rows = leerFilas(other, exact, block);
    }
    pendiente_ += diario::lineaComprobante(literalDeValor(tc), literalDeValor(idComprobante), dialecto_, rows) + u'\n';
    pendiente_ += block;
    ++comprobantes_;
    filas_ += rows;
    return rows;
}

// One idempotent insert per row read into `block`; the number of rows, or -1 when a text
// came back with replacement characters from the native driver (it may not be exact).
int DiarioBorrado::leerFilas(utility::Statement& q, const std::vector<ColumnaDiario>& columns, QString& block) {
    QHash<QString, int> copies;  // rows equal in every column: each copy comes back
    int rows = 0;
    diario::Insercion row;
    row.columnas = nombresEntreCorchetes_;
    QString key;
    while (q.next()) {
        row.valores.clear();
        row.comparaciones.clear();
        key.clear();
        for (size_t i = 0; i < columns.size(); ++i) {
            const ColumnaDiario& column = columns[i];
            const QVariant value = q.value(int(i));
            if (column.clase == ColumnaDiario::Clase::Dinamico && value.metaType().id() == QMetaType::QString &&
                value.toString().contains(QChar::ReplacementCharacter)) {
                q.finish();
                return -1;
            }
            row.valores.push_back(column.literal(value));
            const diario::Literal& literal = row.valores.back();
            row.comparaciones.push_back(column.comparacion(literal));
            // The value itself, length-prefixed, without writing its SQL text twice.
            key += QChar(u'0' + int(literal.clase));
            key += QString::number(literal.texto.size()) + u':' + literal.texto;
            key += QString::number(literal.bytes.size()) + u':' +
                   QLatin1String(literal.bytes.constData(), literal.bytes.size());
        }
        row.copia = ++copies[key];
        block += diario::textoInsercion(row, dialecto_);
        block += u'\n';
        ++rows;
    }
    q.finish();
    return rows;
}

void DiarioBorrado::escribir(const QByteArray& bytes) {
    if (const QString why = archivo_.write(bytes); !why.isEmpty()) fallar(why);
}

void DiarioBorrado::sincronizar() {
    if (!pendiente_.isEmpty() || !confirmados_.isEmpty()) {
        if (!pendiente_.isEmpty() && !pendiente_.endsWith(QLatin1String("\nGO\n"))) pendiente_ += QLatin1String("GO\n");
        const QByteArray bytes = (confirmados_ + pendiente_).toUtf8();
        pendiente_.clear();
        confirmados_.clear();
        escribir(bytes);
    }
    if (const QString why = archivo_.sync(); !why.isEmpty()) fallar(why);
    comprobantesSincronizados_ = comprobantes_ - comprobantesLote_;
    filasSincronizadas_ = filas_ - filasLote_;
}

void DiarioBorrado::loteConfirmado() {
    if (comprobantesSincronizados_ == 0) return;
    confirmados_ += diario::lineaLote(comprobantesSincronizados_, filasSincronizadas_) + u'\n';
    comprobantesLote_ += comprobantesSincronizados_;
    filasLote_ += filasSincronizadas_;
    comprobantesSincronizados_ = 0;
    filasSincronizadas_ = 0;
}

void DiarioBorrado::terminar() {
    pendiente_ += diario::lineaFinCorrida(comprobantes_, filas_) + u'\n';
    if (columnas_.identidad) pendiente_ += diario::lineaIdentidad(false) + u'\n';
    sincronizar();
}

void DiarioBorrado::detenida(const QString& why) noexcept {
    try {
        pendiente_.clear();  // a batch that never reached the disk: nothing of it was deleted
        if (!archivo_.isOpen()) return;
        cerrarLineaCortada();  // a write that failed half-way
        pendiente_ += diario::lineaDetencion(sinClaves(why)) + u'\n';
        if (columnas_.identidad) pendiente_ += diario::lineaIdentidad(false) + u'\n';
        sincronizar();
    } catch (...) {
    }
}

}  // namespace correction
