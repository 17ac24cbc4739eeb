#include "demo/demo_database.h"

#include <QFile>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>
#include <random>

namespace demo {

namespace {

const char* const kSchema[] = {
    "CREATE TABLE C_MV_Cpte (TC VARCHAR(4) COLLATE NOCASE NOT NULL, IDCOMPROBANTE VARCHAR(13) COLLATE NOCASE, "
    "FECHA DATETIME, CUENTA VARCHAR(15) COLLATE NOCASE, NOMBRE VARCHAR(60) COLLATE NOCASE, TOTAL MONEY)",
    "CREATE INDEX IX_C_MV_Cpte_Comprobante ON C_MV_Cpte (TC, IDCOMPROBANTE)",
    "CREATE TABLE V_MV_Stock (IDMOVIMIENTO INTEGER PRIMARY KEY, TC VARCHAR(4) COLLATE NOCASE NOT NULL, "
    "IDCOMPROBANTE VARCHAR(13) COLLATE NOCASE, IDARTICULO VARCHAR(15) COLLATE NOCASE, CANTIDAD FLOAT, "
    "FECHA DATETIME, IDDEPOSITO VARCHAR(4) COLLATE NOCASE)",
    "CREATE INDEX IX_V_MV_Stock_Comprobante ON V_MV_Stock (TC, IDCOMPROBANTE)",
    "CREATE TABLE TA_CONFIGURACION (CLAVE VARCHAR(50) COLLATE NOCASE NOT NULL, VALOR VARCHAR(255) COLLATE NOCASE)",
    "CREATE TABLE V_MA_ARTICULOS (IDARTICULO VARCHAR(15) COLLATE NOCASE PRIMARY KEY, "
    "DESCRIPCION VARCHAR(60) COLLATE NOCASE, SUSPENDIDO SMALLINT NOT NULL DEFAULT 0, PRECIO MONEY)",
    "CREATE TABLE VT_CLIENTES (CODIGO VARCHAR(10) COLLATE NOCASE PRIMARY KEY, RAZON_SOCIAL VARCHAR(60) COLLATE NOCASE, "
    "CONTACTO VARCHAR(40) COLLATE NOCASE, Dada_De_Baja SMALLINT NOT NULL DEFAULT 0)",
    "CREATE TABLE VT_PROVEEDORES (CODIGO VARCHAR(10) COLLATE NOCASE PRIMARY KEY, "
    "RAZON_SOCIAL VARCHAR(60) COLLATE NOCASE, Dada_De_Baja SMALLINT NOT NULL DEFAULT 0)",
    "CREATE TABLE MA_CONTACTOS (IDCONTACTO INTEGER PRIMARY KEY, Nombre_y_Apellido VARCHAR(60) COLLATE NOCASE, "
    "Domicilio VARCHAR(60) COLLATE NOCASE, Localidad VARCHAR(40) COLLATE NOCASE, Telefono VARCHAR(20) COLLATE NOCASE)",
};

const char* const kArticulos[] = {"Tornillo autorroscante", "Arandela de presión", "Tuerca hexagonal", "Caño de PVC",
                                  "Llave térmica", "Cable unipolar", "Pintura látex", "Rodillo de lana",
                                  "Cerradura de seguridad", "Bisagra de acero", "Martillo de carpintero",
                                  "Destornillador Phillips", "Cinta aisladora", "Lámpara LED", "Enchufe doble",
                                  "Tarugo de nylon", "Sellador acrílico", "Membrana asfáltica", "Teja española",
                                  "Ladrillo hueco"};
const char* const kMedidas[] = {"6 mm", "8 mm", "10 mm", "1/2\"", "3/4\"", "20 l", "4 l", "x 100 u", "grande",
                                "pequeño"};
const char* const kNombres[] = {"José", "María", "Begoña", "Íñigo", "Nuria", "Andrés", "Lucía", "Ramón",
                                "Ángela", "Martín", "Sofía", "Joaquín"};
const char* const kApellidos[] = {"Muñoz", "Peña", "Ibáñez", "García", "Fernández", "Gómez", "Núñez", "Castaño",
                                  "Rodríguez", "Sáenz", "Olmedo", "Echeverría"};
const char* const kEmpresas[] = {"Ferretería", "Distribuidora", "Comercial", "Maderera", "Corralón", "Pinturería",
                                 "Sanitarios", "Electricidad"};
const char* const kLugares[] = {"La Rioja", "Logroño", "Córdoba", "Peñíscola", "Cádiz", "Avilés", "Málaga",
                                "San Sebastián", "Alcañiz", "Jaén"};
const char* const kCalles[] = {"Av. España", "Calle Mayor", "Paseo de la Castellana", "Calle Núñez de Balboa",
                               "Ronda de Segovia", "Camino Real"};

template <size_t N>
QString pick(std::mt19937& rng, const char* const (&list)[N]) {
    return QString::fromUtf8(list[std::uniform_int_distribution<size_t>(0, N - 1)(rng)]);
}

class Writer {
public:
    explicit Writer(const QString& path)
        : name_(QStringLiteral("stockfix-demo-%1").arg(++counter_)) {
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db_.setDatabaseName(path);
    }
    ~Writer() {
        prepared_.clear();
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(name_);
    }
    bool open() { return db_.open(); }
    QString error() const { return error_; }
    bool exec(const QString& sql) {
        QSqlQuery q(db_);
        if (!q.exec(sql)) return fail(q);
        return true;
    }
    bool insert(const QString& sql, const QVariantList& values) {
        auto it = prepared_.find(sql);
        if (it == prepared_.end()) {
            it = prepared_.insert(sql, QSqlQuery(db_));
            if (!it->prepare(sql)) return fail(*it);
        }
        for (int i = 0; i < values.size(); ++i) it->bindValue(i, values[i]);
        if (!it->exec()) return fail(*it);
        it->finish();  // an open statement would block the journal-mode change
        return true;
    }
    QSqlDatabase& db() { return db_; }

private:
    bool fail(const QSqlQuery& q) {
        if (error_.isEmpty()) error_ = q.lastError().text();
        return false;
    }
    static inline std::atomic<int> counter_{0};
    QString name_;
    QSqlDatabase db_;
    QHash<QString, QSqlQuery> prepared_;  // one prepared statement per text
    QString error_;
};

QString voucherNumber(int branch, int number) {
    return QStringLiteral("%1-%2").arg(branch, 4, 10, QChar(u'0')).arg(number, 8, 10, QChar(u'0'));
}

// How a voucher's header stands.
enum class Header { WithAccount, Missing, NullAccount, SeveralOneNull };

struct Filler {
    Writer& w;
    std::mt19937& rng;
    int articles;
    int nextMovement = 1;

    bool header(const QString& tc, const QString& id, const QVariant& cuenta) {
        const int day = std::uniform_int_distribution<int>(1, 28)(rng);
        return w.insert(QStringLiteral("INSERT INTO C_MV_Cpte (TC, IDCOMPROBANTE, FECHA, CUENTA, NOMBRE, TOTAL) "
                                       "VALUES (?, ?, ?, ?, ?, ?)"),
                        {tc, id, QStringLiteral("2003-02-%1 10:00:00").arg(day, 2, 10, QChar(u'0')), cuenta,
                         pick(rng, kEmpresas) + u' ' + pick(rng, kApellidos),
                         std::uniform_int_distribution<int>(100, 99999)(rng) / 100.0});
    }
    bool stock(const QString& tc, const QVariant& id, int rows) {
        for (int r = 0; r < rows; ++r) {
            const int art = std::uniform_int_distribution<int>(1, std::max(1, articles))(rng);
            if (!w.insert(QStringLiteral("INSERT INTO V_MV_Stock (IDMOVIMIENTO, TC, IDCOMPROBANTE, IDARTICULO, "
                                         "CANTIDAD, FECHA, IDDEPOSITO) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                          {nextMovement++, tc, id, QStringLiteral("ART%1").arg(art, 5, 10, QChar(u'0')),
                           std::uniform_int_distribution<int>(1, 48)(rng), QStringLiteral("2003-02-17 09:30:00"),
                           QStringLiteral("D01")}))
                return false;
        }
        return true;
    }
    bool voucher(const QString& tc, const QString& id, Header h, int rows) {
        const QString cuenta = QStringLiteral("2.1.1.%1").arg(std::uniform_int_distribution<int>(1, 99)(rng));
        switch (h) {
        case Header::WithAccount:
            if (!header(tc, id, cuenta)) return false;
            break;
        case Header::Missing: break;
        case Header::NullAccount:
            if (!header(tc, id, QVariant())) return false;
            break;
        case Header::SeveralOneNull:
            if (!header(tc, id, cuenta) || !header(tc, id, QVariant()) || !header(tc, id, cuenta + u'1')) return false;
            break;
        }
        return stock(tc, id, rows);
    }
};

}  // namespace

QString createDemoDatabase(const QString& path, const DemoOptions& options) {
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    Writer w(path);
    if (!w.open()) return QStringLiteral("no se pudo crear %1").arg(path);
    std::mt19937 rng(options.seed);
    w.db().transaction();
    for (const char* statement : kSchema)
        if (!w.exec(QString::fromLatin1(statement))) return w.error();

    const QList<QPair<QString, QVariant>> config = {
        {QStringLiteral("MostrarStockenConsultas"), QStringLiteral("SI")},
        {QStringLiteral("TituloClientes"), QStringLiteral("  Clientes  ")},
        {QStringLiteral("TituloProveedores"), QStringLiteral("Proveedores")},
        {QStringLiteral("EXIGECLAVECONSULTALIKEARTICULOS"), QStringLiteral("NO")},
        {QStringLiteral("UsaConsultaLike"), QStringLiteral("si")},
        {QStringLiteral("CantidadDecimales"), QStringLiteral("2")},
        {QStringLiteral("UsaMultilesMonedas"), QStringLiteral("NO")},
        {QStringLiteral("CFondo"), QStringLiteral("0")},
        {QStringLiteral("CLetra"), QStringLiteral("8388608")},
        {QStringLiteral("ModuloOrdenDeTrabajo"), QVariant()},
    };
    for (const auto& [clave, valor] : config)
        if (!w.insert(QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES (?, ?)"), {clave, valor}))
            return w.error();

    for (int i = 1; i <= options.articles; ++i)
        if (!w.insert(QStringLiteral("INSERT INTO V_MA_ARTICULOS (IDARTICULO, DESCRIPCION, SUSPENDIDO, PRECIO) "
                                     "VALUES (?, ?, ?, ?)"),
                      {QStringLiteral("ART%1").arg(i, 5, 10, QChar(u'0')),
                       (pick(rng, kArticulos) + u' ' + pick(rng, kMedidas)).toUpper(), i % 17 == 0 ? 1 : 0,
                       std::uniform_int_distribution<int>(50, 250000)(rng) / 100.0}))
            return w.error();
    for (int i = 1; i <= 120; ++i) {
        const QString persona = pick(rng, kNombres) + u' ' + pick(rng, kApellidos);
        const QString codigo = QStringLiteral("%1").arg(i, 6, 10, QChar(u'0'));
        if (!w.insert(QStringLiteral("INSERT INTO VT_CLIENTES (CODIGO, RAZON_SOCIAL, CONTACTO, Dada_De_Baja) "
                                     "VALUES (?, ?, ?, ?)"),
                      {codigo, pick(rng, kEmpresas) + u' ' + pick(rng, kApellidos) + u' ' + pick(rng, kLugares),
                       persona, i % 11 == 0 ? 1 : 0}) ||
            (i <= 60 && !w.insert(QStringLiteral("INSERT INTO VT_PROVEEDORES (CODIGO, RAZON_SOCIAL, Dada_De_Baja) "
                                                 "VALUES (?, ?, ?)"),
                                  {codigo, pick(rng, kEmpresas) + u' ' + pick(rng, kLugares) + QStringLiteral(" S.A."),
                                   i % 13 == 0 ? 1 : 0})) ||
            !w.insert(QStringLiteral("INSERT INTO MA_CONTACTOS (Nombre_y_Apellido, Domicilio, Localidad, Telefono) "
                                     "VALUES (?, ?, ?, ?)"),
                      {persona, pick(rng, kCalles) + u' ' + QString::number(i * 7), pick(rng, kLugares),
                       QStringLiteral("+34 9%1").arg(10000000 + i * 7919)}))
            return w.error();
    }

    Filler f{w, rng, options.articles};
    // One voucher of every kind the correction must tell apart.
    const struct {
        const char* tc;
        const char* id;
        Header header;
    } fixed[] = {
        {"fcc", "0001-00000042", Header::Missing},         {"fcc", "0001-00000043", Header::WithAccount},
        {"fcc", "0001-00000044", Header::NullAccount},     {"fcc", "0001-00000045", Header::SeveralOneNull},
        {"FCC", "0001-00000046", Header::Missing},         {"fcv", "0001-00000047", Header::Missing},
        {"rem", "0001-00000048", Header::NullAccount},     {"fcc", "0001-0000'049", Header::Missing},
        {"fcc", "0001-0000'050", Header::WithAccount},
    };
    for (const auto& v : fixed)
        if (!f.voucher(QString::fromLatin1(v.tc), QString::fromLatin1(v.id), v.header, 3)) return w.error();

    const char* const types[] = {"fcc", "fcc", "fcc", "FCC", "fcv", "rem", "ncc"};
    for (int i = 0; i < options.vouchers; ++i) {
        const QString tc = QString::fromLatin1(types[std::uniform_int_distribution<int>(0, 6)(rng)]);
        const auto h = static_cast<Header>(std::uniform_int_distribution<int>(0, 9)(rng) % 4);
        const QString id = voucherNumber(std::uniform_int_distribution<int>(1, 3)(rng), 100 + i);
        if (!f.voucher(tc, id, h, std::uniform_int_distribution<int>(1, 6)(rng))) return w.error();
    }
    if (!w.db().commit()) return w.db().lastError().text();
    w.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    return {};
}

QString addBulkVouchers(const QString& path, int bad, int good, int rowsPerVoucher, uint32_t seed) {
    Writer w(path);
    if (!w.open()) return QStringLiteral("no se pudo abrir %1").arg(path);
    std::mt19937 rng(seed);
    Filler f{w, rng, 400};
    QSqlQuery last(w.db());
    if (last.exec(QStringLiteral("SELECT COALESCE(MAX(IDMOVIMIENTO), 0) + 1 FROM V_MV_Stock")) && last.next())
        f.nextMovement = last.value(0).toInt();
    last = QSqlQuery();
    w.db().transaction();
    for (int i = 0; i < bad + good; ++i) {
        // Good and bad vouchers interleaved, as they stand in a real table.
        const bool isBad = int64_t(i) * bad / (bad + good) != int64_t(i + 1) * bad / (bad + good);
        const QString id = voucherNumber(9, i + 1);
        if (!f.voucher(QStringLiteral("fcc"), id, isBad ? Header::Missing : Header::WithAccount, rowsPerVoucher))
            return w.error();
    }
    if (!w.db().commit()) return w.db().lastError().text();
    return {};
}

}  // namespace demo
