#include "support/odbc_shim_setup.h"

#include "utility/data_access.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <atomic>
#include <utility>
#include "platform/odbc_api.h"

namespace testsupport {

namespace {

// The section of the system's odbcinst.ini that lists `driver`, without its header.
QString systemDriverSection(const QString& driver) {
    const QByteArray folder = qgetenv("ODBCSYSINI");
    const QByteArray name = qgetenv("ODBCINSTINI");
    QFile file(QStringLiteral("%1/%2").arg(folder.isEmpty() ? QStringLiteral("/etc") : QString::fromLocal8Bit(folder),
                                           name.isEmpty() ? QStringLiteral("odbcinst.ini") : QString::fromLocal8Bit(name)));
    QString section;
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        bool inside = false;
        for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
            const QString trimmed = line.trimmed();
            if (trimmed.startsWith(u'[')) inside = trimmed.compare(u'[' + driver + u']', Qt::CaseInsensitive) == 0;
            else if (inside && !trimmed.isEmpty()) section += trimmed + u'\n';
        }
    }
    return section;
}

QString registerOnce() {
    // Kept until the process ends: programs the tests start read it too.
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/stockfix-odbc-XXXXXX"));
    if (!folder.isValid()) return QStringLiteral("cannot make a folder for odbcinst.ini: ") + folder.errorString();
    QString sqlite3 = systemDriverSection(QStringLiteral("SQLite3"));
    if (sqlite3.isEmpty())
        sqlite3 = QStringLiteral("Description=SQLite3 ODBC Driver\n"
                                 "Driver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so\n");
    const QString ini = QStringLiteral("[%1]\nDescription=SQLite behind a SQL Server face, for tests\nDriver=%2\n\n"
                                       "[SQLite3]\n%3")
                            .arg(QLatin1String(kOdbcShimDriver), odbcShimLibrary(), sqlite3);
    for (const auto& [name, text] : {std::pair{QStringLiteral("odbcinst.ini"), ini}, {QStringLiteral("odbc.ini"), QString()}}) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0)
            return QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
    }
    qputenv("ODBCSYSINI", QFile::encodeName(folder.path()));
    qputenv("ODBCINSTINI", "odbcinst.ini");  // a name within ODBCSYSINI, not a path
    qputenv("ODBCINI", QFile::encodeName(folder.filePath(QStringLiteral("odbc.ini"))));
    if (!QFile::exists(odbcShimLibrary())) return QStringLiteral("the shim driver is not built: ") + odbcShimLibrary();
    if (!utility::DataAccess::installedOdbcDrivers().contains(QLatin1String(kOdbcShimDriver)))
        return QStringLiteral("unixODBC does not list %1: it read its configuration before the shim was registered "
                              "(it reads ODBCSYSINI once per process)")
            .arg(QLatin1String(kOdbcShimDriver));
    return {};
}

struct SqlServerType {
    const char* name;
    int systemTypeId;
    int userTypeId;
};

// sys.types of SQL Server 2022.
constexpr SqlServerType kTypes[] = {
    {"image", 34, 34},       {"text", 35, 35},         {"uniqueidentifier", 36, 36}, {"date", 40, 40},
    {"time", 41, 41},        {"datetime2", 42, 42},    {"datetimeoffset", 43, 43},   {"tinyint", 48, 48},
    {"smallint", 52, 52},    {"int", 56, 56},          {"smalldatetime", 58, 58},    {"real", 59, 59},
    {"money", 60, 60},       {"datetime", 61, 61},     {"float", 62, 62},            {"sql_variant", 98, 98},
    {"ntext", 99, 99},       {"bit", 104, 104},        {"decimal", 106, 106},        {"numeric", 108, 108},
    {"smallmoney", 122, 122}, {"bigint", 127, 127},    {"hierarchyid", 240, 128},    {"geometry", 240, 129},
    {"geography", 240, 130}, {"varbinary", 165, 165}, {"varchar", 167, 167},        {"binary", 173, 173},
    {"char", 175, 175},      {"timestamp", 189, 189}, {"nvarchar", 231, 231},       {"nchar", 239, 239},
    {"xml", 241, 241},       {"sysname", 231, 256},
};

const SqlServerType* typeNamed(QString name) {
    name = name.section(u'(', 0, 0).trimmed();
    if (name.compare(u"rowversion", Qt::CaseInsensitive) == 0) name = QStringLiteral("timestamp");
    for (const SqlServerType& t : kTypes)
        if (name.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

QString describe(QSqlDatabase& db, const QString& table, const QList<ShimColumn>& columns) {
    QSqlQuery q(db);
    const auto run = [&](const QString& sql, const QVariantList& values = {}) {
        if (!q.prepare(sql)) return false;
        for (const QVariant& v : values) q.addBindValue(v);
        return q.exec();
    };
    const auto failed = [&] { return q.lastQuery() + QStringLiteral(": ") + q.lastError().text(); };
    for (const QString& sql :
         {QStringLiteral("CREATE TABLE IF NOT EXISTS shim_sys_objects (object_id INTEGER PRIMARY KEY, name TEXT NOT NULL)"),
          QStringLiteral("CREATE TABLE IF NOT EXISTS shim_sys_types (name TEXT NOT NULL, system_type_id INTEGER NOT NULL, "
                         "user_type_id INTEGER PRIMARY KEY)"),
          QStringLiteral("CREATE TABLE IF NOT EXISTS shim_sys_columns (object_id INTEGER NOT NULL, name TEXT NOT NULL, "
                         "column_id INTEGER NOT NULL, system_type_id INTEGER NOT NULL, user_type_id INTEGER NOT NULL, "
                         "max_length INTEGER NOT NULL, precision INTEGER NOT NULL, scale INTEGER NOT NULL, "
                         "is_nullable INTEGER NOT NULL, is_identity INTEGER NOT NULL, is_computed INTEGER NOT NULL)")})
        if (!run(sql)) return failed();
    for (const SqlServerType& t : kTypes)
        if (!run(QStringLiteral("INSERT OR IGNORE INTO shim_sys_types VALUES (?, ?, ?)"),
                 {QString::fromLatin1(t.name), t.systemTypeId, t.userTypeId}))
            return failed();
    if (!run(QStringLiteral("DELETE FROM shim_sys_columns WHERE object_id IN "
                            "(SELECT object_id FROM shim_sys_objects WHERE name = ? COLLATE NOCASE)"),
             {table}) ||
        !run(QStringLiteral("DELETE FROM shim_sys_objects WHERE name = ? COLLATE NOCASE"), {table}) ||
        !run(QStringLiteral("INSERT INTO shim_sys_objects (name) VALUES (?)"), {table}))
        return failed();
    const QVariant objectId = q.lastInsertId();
    int columnId = 0;
    for (const ShimColumn& c : columns) {
        const SqlServerType* type = typeNamed(c.type);
        if (!type) return QStringLiteral("%1.%2: SQL Server has no type %3").arg(table, c.name, c.type);
        if (!run(QStringLiteral("INSERT INTO shim_sys_columns VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                 {objectId, c.name, ++columnId, type->systemTypeId, type->userTypeId, c.maxLength, c.precision, c.scale,
                  int(c.nullable), int(c.identity), int(c.computed)}))
            return failed();
    }
    return {};
}

}  // namespace

QString registerOdbcShim() {
    static const QString problem = registerOnce();
    return problem;
}

QString odbcShimLibrary() { return QStringLiteral(STOCKFIX_ODBC_SHIM); }

QString odbcShimConnectionText(const QString& databaseFile) {
    return QStringLiteral("DRIVER={%1};DATABASE=%2;").arg(QLatin1String(kOdbcShimDriver), databaseFile);
}

QString describeShimTable(const QString& databaseFile, const QString& table, const QList<ShimColumn>& columns) {
    static std::atomic<int> connections{0};
    const QString name = QStringLiteral("shim-fixture-%1").arg(++connections);
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(databaseFile);
        if (!db.open()) {
            problem = db.lastError().text();
        } else {
            db.transaction();
            problem = describe(db, table, columns);
            if (!problem.isEmpty()) db.rollback();
            else if (!db.commit()) problem = db.lastError().text();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return problem;
}

}  // namespace testsupport
