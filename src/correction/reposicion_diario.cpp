#include "correction/reposicion_diario.h"

#include "correction/columnas_diario.h"
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
const char* const kLineasComentario[] = {
    "-- Fecha: ",         "-- Servidor: ",      "-- Base de datos: ",     "-- Usuario: ",
    "-- Programa: ",      "-- Selección: ",     "-- Columnas que escribe el motor: ",
    "-- Cada INSERT repone una fila borrada si no está", "-- Para reponer: ", "--           o: sqlcmd ",
};

struct Linea {
    int numero;
    std::optional<QString> texto;  // nothing: not UTF-8
};

class Lector {
public:
    explicit Lector(const QString& path) : ruta_(path) { guion_.ruta = path; }

    GuionDiario leer(const QByteArray& bytes) {
        std::vector<Linea> lines = partir(bytes);
        for (size_t i = 0; i < lines.size(); ++i) {
            const bool last = i + 1 == lines.size();
            const bool cutNext = !last && lines[i + 1].texto == diario::lineaCortada();
            if (lines[i].texto && tomar(lines[i].numero, *lines[i].texto)) continue;
            // A line that a dying run left half-written: closed by the next run, or the file's end.
            if (cutNext) {
                avisar(QStringLiteral("la línea %1 del diario %2 quedó cortada (la corrida que la escribía se interrumpió): "
                                    "se omite y se repone todo lo demás")
                         .arg(lines[i].numero)
                         .arg(ruta_));
                corteEnComprobante_ = true;
                continue;
            }
            if (last && !terminaEnNuevaLinea_ && corridaAbierta_ && lines[i].numero > 1) {
                avisar(QStringLiteral("el diario %1 está cortado en la línea %2: se repone hasta la última sentencia "
                                    "completa (línea %3)")
                         .arg(ruta_)
                         .arg(lines[i].numero)
                         .arg(guion_.sentencias.empty() ? 0 : guion_.sentencias.back().linea));
                corridaAbierta_ = false;
                anunciadas_ = -1;
                break;
            }
            rechazar(QStringLiteral("la línea %1 no es una línea de un diario de borrado%2 (diario dañado o cambiado)")
                       .arg(lines[i].numero)
                       .arg(porque_.isEmpty() ? QString() : QStringLiteral(": ") + porque_));
        }
        // A file that ends inside a voucher lost its end with the run that wrote it.
        if (anunciadas_ >= 0 && vistas_ < anunciadas_) {
            corridaAbierta_ = true;
            anunciadas_ = -1;
        }
        cerrarComprobante();
        if (corridaAbierta_ || interrumpida_)
            avisar(QStringLiteral("el diario %1 termina sin la línea final de su corrida: la corrida se interrumpió o el "
                                "archivo está cortado; se repone lo que tiene (%2 sentencias)")
                     .arg(ruta_)
                     .arg(guion_.sentencias.size()));
        return std::move(guion_);
    }

private:
    std::vector<Linea> partir(QByteArray bytes) {
        if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
        if (!bytes.startsWith(diario::kFirma)) rechazar(QStringLiteral("no es un diario de borrado de stockfix"));
        terminaEnNuevaLinea_ = bytes.endsWith('\n');
        QList<QByteArray> parts = bytes.split('\n');
        if (terminaEnNuevaLinea_) parts.removeLast();
        std::vector<Linea> lines;
        lines.reserve(size_t(parts.size()));
        const QByteArray signature =
            QStringLiteral("%1 de %2").arg(QLatin1String(diario::kFirma), QLatin1String(diario::kTabla)).toUtf8();
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
                lines.push_back({int(i + 1), diario::lineaCortada()});
                lines.push_back({int(i + 1), QString::fromUtf8(signature)});
                continue;
            }
            lines.push_back({int(i + 1), decoded(part)});
        }
        return lines;
    }

    [[noreturn]] void rechazar(const QString& why) const { throw DiarioRechazado(ruta_, why); }
    void avisar(const QString& what) { guion_.aviso += (guion_.aviso.isEmpty() ? QString() : QStringLiteral("\n")) + what; }

    void cerrarComprobante() {
        if (anunciadas_ >= 0 && vistas_ != anunciadas_ && !(corteEnComprobante_ && vistas_ < anunciadas_))
            rechazar(QStringLiteral("el comprobante de la línea %1 anuncia %2 filas y el diario tiene %3 (diario dañado)")
                       .arg(anunciadoEn_)
                       .arg(anunciadas_)
                       .arg(vistas_));
        anunciadas_ = -1;
        corteEnComprobante_ = false;
    }

    static std::optional<std::pair<long long, long long>> cuentas(const QRegularExpression& shape, const QString& line) {
        const QRegularExpressionMatch m = shape.match(line);
        if (!m.hasMatch()) return std::nullopt;
        return std::pair{m.captured(1).toLongLong(), m.captured(2).toLongLong()};
    }

    // One whole line: false when it is no line of a journal (porque_ says why, for a statement).
    bool tomar(int number, const QString& line) {
        static const QRegularExpression voucher(QStringLiteral("^-- Comprobante .*: (\\d{1,9}) filas$"));
        static const QRegularExpression batch(QStringLiteral("^-- Lote confirmado: (\\d{1,9}) comprobantes, (\\d{1,12}) filas\\.$"));
        static const QRegularExpression end(QStringLiteral("^-- Fin de la corrida: (\\d{1,9}) comprobantes, (\\d{1,12}) filas\\.$"));
        porque_.clear();
        if (line.startsWith(QLatin1String(diario::kFirma))) {
            if (line != QStringLiteral("%1 de %2").arg(QLatin1String(diario::kFirma), QLatin1String(diario::kTabla)))
                return false;
            // A run that never wrote its last line died: its last voucher may be short too.
            if (corridaAbierta_) corteEnComprobante_ = true;
            cerrarComprobante();
            interrumpida_ = interrumpida_ || corridaAbierta_;
            corridaAbierta_ = true;
            enEncabezado_ = true;
            antigua_ = true;
            dialecto_.reset();
            columnas_.reset();
            comprobantesCorrida_ = filasCorrida_ = 0;
            pendientesDesde_ = guion_.sentencias.size();
            comprobantesPendientes_ = 0;
            return true;
        }
        if (line.isEmpty() || line == QLatin1String(diario::kGo) || line == QLatin1String(diario::kNoCount) ||
            line == diario::lineaIdentidad(true) || line == diario::lineaIdentidad(false))
            return true;
        if (line == diario::lineaCortada()) {
            corteEnComprobante_ = true;
            return true;
        }
        if (!corridaAbierta_) return false;
        if (enEncabezado_ && line.startsWith(QStringLiteral("-- Motor: "))) {
            const QString engine = line.mid(10);
            if (engine == diario::nombreMotor(Dialecto::Sqlite)) dialecto_ = Dialecto::Sqlite;
            else if (engine == diario::nombreMotor(Dialecto::SqlServer)) dialecto_ = Dialecto::SqlServer;
            else return false;
            return true;
        }
        if (enEncabezado_ && line.startsWith(QStringLiteral("-- Columnas: "))) {
            const auto names = diario::leerListaColumnas(QStringView(line).mid(13));
            if (!names || diario::listaColumnas(*names) != line.mid(13)) return false;
            columnas_ = *names;
            antigua_ = false;  // a run of this format says when each batch committed
            return true;
        }
        for (const char* start : kLineasComentario)
            if (line.startsWith(QString::fromUtf8(start))) return enEncabezado_;
        if (const QRegularExpressionMatch m = voucher.match(line); m.hasMatch()) {
            cerrarComprobante();
            enEncabezado_ = false;
            anunciadas_ = m.captured(1).toInt();
            anunciadoEn_ = number;
            vistas_ = 0;
            ++comprobantesCorrida_;
            ++comprobantesPendientes_;
            return true;
        }
        if (const auto n = cuentas(batch, line)) {
            cerrarComprobante();
            const long long rows = qsizetype(guion_.sentencias.size() - pendientesDesde_);
            if (n->first != comprobantesPendientes_ || n->second != rows)
                rechazar(QStringLiteral("la línea %1 confirma %2 comprobantes y %3 filas, y el lote tiene %4 y %5 (diario dañado)")
                           .arg(number)
                           .arg(n->first)
                           .arg(n->second)
                           .arg(comprobantesPendientes_)
                           .arg(rows));
            for (size_t i = pendientesDesde_; i < guion_.sentencias.size(); ++i) guion_.sentencias[i].confirmada = true;
            pendientesDesde_ = guion_.sentencias.size();
            comprobantesPendientes_ = 0;
            return true;
        }
        if (const auto n = cuentas(end, line)) {
            cerrarComprobante();
            if (n->first != comprobantesCorrida_ || n->second != filasCorrida_)
                rechazar(QStringLiteral("la línea %1 cuenta %2 comprobantes y %3 filas, y el diario tiene %4 y %5 (diario dañado)")
                           .arg(number)
                           .arg(n->first)
                           .arg(n->second)
                           .arg(comprobantesCorrida_)
                           .arg(filasCorrida_));
            corridaAbierta_ = false;
            return true;
        }
        if (line.startsWith(QStringLiteral("-- La corrida se detuvo: "))) {
            cerrarComprobante();
            corridaAbierta_ = false;
            return true;
        }
        if (!line.startsWith(QStringLiteral("INSERT INTO "))) return false;
        if (anunciadas_ < 0) {
            porque_ = QStringLiteral("una sentencia fuera de un comprobante");
            return false;
        }
        if (!dialecto_) {
            porque_ = QStringLiteral("la corrida no dice su motor");
            return false;
        }
        auto insert = diario::leerInsercion(line, *dialecto_, &porque_);
        if (!insert) return false;
        if (!columnas_) columnas_ = insert->columnas;  // a run of before the columns line: its first row names them
        if (insert->columnas != *columnas_) {
            porque_ = QStringLiteral("sus columnas no son las de la corrida");
            return false;
        }
        guion_.sentencias.push_back({number, *dialecto_, std::move(*insert), antigua_});
        ++vistas_;
        ++filasCorrida_;
        return true;
    }

    QString ruta_;
    GuionDiario guion_;
    QString porque_;
    bool terminaEnNuevaLinea_ = false;
    bool corridaAbierta_ = false, interrumpida_ = false, enEncabezado_ = false, antigua_ = true, corteEnComprobante_ = false;
    std::optional<Dialecto> dialecto_;
    std::optional<QStringList> columnas_;
    int anunciadas_ = -1, anunciadoEn_ = 0, vistas_ = 0;
    long long comprobantesCorrida_ = 0, filasCorrida_ = 0;
    size_t pendientesDesde_ = 0;
    long long comprobantesPendientes_ = 0;
};

// The table's columns as the engine has them now: every name, and those it writes itself.
struct ColumnasTabla {
    QSet<QString> nombres;  // lower case
    QSet<QString> generadas;
    QString identidad;
};

ColumnasTabla columnasTabla(utility::DataAccess& session, Dialecto dialect) {
    ColumnasTabla t;
    if (dialect == Dialecto::Sqlite) {
        const QStringList names =
            session.OpenQuery(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(QLatin1String(diario::kTabla))).columnNames();
        for (const QString& name : names) t.nombres.insert(name.toLower());
        return t;
    }
    utility::Statement q = session.OpenQuery(consultaColumnasSqlServer());
    while (q.next()) {
        const QString name = q.value(0).toString().toLower();
        const QString type = q.value(1).toString().toLower();
        t.nombres.insert(name);
        if (q.value(3).toInt() == 1 || type == u"timestamp" || type == u"rowversion") t.generadas.insert(name);
        if (q.value(2).toInt() == 1) t.identidad = name;
    }
    return t;
}

// What the writer of today builds for the row: the columns the engine writes itself are
// left out (older journals named them, and no insert may).
diario::Insercion sinGeneradas(const diario::Insercion& in, const ColumnasTabla& table) {
    if (table.generadas.isEmpty()) return in;
    diario::Insercion out;
    out.copia = in.copia;
    for (qsizetype i = 0; i < in.columnas.size(); ++i) {
        if (table.generadas.contains(diario::nombreSinCorchetes(in.columnas[i]).value_or(QString()).toLower())) continue;
        out.columnas << in.columnas[i];
        out.valores.push_back(in.valores[size_t(i)]);
        out.comparaciones.push_back(in.comparaciones[size_t(i)]);
    }
    return out;
}

}  // namespace

DiarioRechazado::DiarioRechazado(const QString& path, const QString& why)
    : platform::RuntimeError(platform::kBadFileMode, QStringLiteral("%1 no se puede reponer: %2").arg(path, why)) {}

GuionDiario LeerDiario(const QString& path) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) throw DiarioRechazado(path, QStringLiteral("no es un archivo común"));
    // Larger than any journal a run writes, and than the memory it would take to read.
    if (info.size() > (qint64(16) << 30)) throw DiarioRechazado(path, QStringLiteral("es demasiado grande para un diario"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw DiarioRechazado(path, file.errorString());
    if (platform::lockedByAnother(path))
        throw DiarioRechazado(path, QStringLiteral("una corrida lo está escribiendo ahora; repóngalo cuando termine"));
    try {
        return LeerDiarioDeBytes(path, file.readAll());
    } catch (const std::bad_alloc&) {
        throw DiarioRechazado(path, QStringLiteral("no hay memoria para leerlo"));
    }
}

GuionDiario LeerDiarioDeBytes(const QString& path, const QByteArray& bytes) { return Lector(path).leer(bytes); }

CuentaReposicion ReponerDiario(utility::DataAccess& session, const GuionDiario& script) {
    const Dialecto dialect = utility::speaksSqlite(session.backend()) ? Dialecto::Sqlite : Dialecto::SqlServer;
    // Everything is checked before anything runs.
    const ColumnasTabla table = columnasTabla(session, dialect);
    std::vector<QString> texts;
    texts.reserve(script.sentencias.size());
    bool identity = false;
    QStringList checked;
    for (const SentenciaDiario& s : script.sentencias) {
        if (s.dialecto != dialect)
            throw DiarioRechazado(script.ruta, QStringLiteral("la línea %1 se escribió para %2 y la sesión es de %3")
                                                  .arg(s.linea)
                                                  .arg(diario::nombreMotor(s.dialecto), diario::nombreMotor(dialect)));
        if (s.insercion.columnas != checked) {
            for (const QString& c : s.insercion.columnas) {
                const QString name = diario::nombreSinCorchetes(c).value_or(c).toLower();
                if (!table.nombres.contains(name))
                    throw DiarioRechazado(script.ruta, QStringLiteral("la línea %1 nombra la columna %2, que %3 no tiene")
                                                          .arg(s.linea)
                                                          .arg(c, QLatin1String(diario::kTabla)));
                identity = identity || (!table.identidad.isEmpty() && name == table.identidad);
            }
            checked = s.insercion.columnas;
        }
        texts.push_back(diario::textoInsercion(sinGeneradas(s.insercion, table), dialect));
    }

    CuentaReposicion count;
    // A session setting, sent by direct execution: prepared, SQL Server keeps it for that
    // statement only.
    if (identity) session.ExecuteDirect(diario::lineaIdentidad(true));
    auto identityOff = qScopeGuard([&] {
        if (!identity) return;
        try {
            session.ExecuteDirect(diario::lineaIdentidad(false));
        } catch (const platform::RuntimeError&) {
        }
    });
    utility::Transaction transaction(session);
    for (size_t i = 0; i < texts.size(); ++i) {
        const SentenciaDiario& s = script.sentencias[i];
        long long rows = 0;
        try {
            rows = session.ExecuteSql(texts[i]);
        } catch (const platform::RuntimeError& e) {
            throw platform::RuntimeError(e.number(), QStringLiteral("línea %1 del diario: %2").arg(s.linea).arg(e.description()),
                                         e.source());
        }
        const bool back = rows > 0;
        if (s.confirmada) (back ? count.repuestas : count.presentes) += back ? rows : 1;
        else (back ? count.repuestasSinConfirmar : count.presentesSinConfirmar) += back ? rows : 1;
    }
    transaction.commit();
    return count;
}

}  // namespace correction
