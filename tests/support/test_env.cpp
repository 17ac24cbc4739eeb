#include "support/test_env.h"

#include "startup/preparacion_consultas.h"
#include "startup/valores_sesion.h"
#include "utility/library.h"
#include "support/child_process.h"

#include <QSqlError>
#include <QVariant>
#include <atomic>

namespace testsupport {

namespace {

std::atomic<int> connections{0};

template <class Fn>
void withConnection(const QString& file, Fn&& fn) {
    const QString name = QStringLiteral("test-conn-%1").arg(++connections);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        ASSERT_TRUE(db.open()) << file.toStdString();
        fn(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

}  // namespace

QStringList configurationTable(const QStringList& rows) {
    QStringList statements{QStringLiteral("CREATE TABLE TA_CONFIGURACION (CLAVE VARCHAR(50) COLLATE NOCASE, "
                                          "VALOR VARCHAR(255))")};
    for (const QString& row : rows)
        statements << QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES (%1)").arg(row);
    return statements;
}

void runSql(const QString& file, const QStringList& statements) {
    withConnection(file, [&](QSqlDatabase& db) {
        for (const QString& s : statements) {
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec(s)) << s.toStdString() << ": " << q.lastError().text().toStdString();
        }
    });
}

QStringList queryColumn(const QString& file, const QString& sql) {
    QStringList out;
    withConnection(file, [&](QSqlDatabase& db) {
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
        while (q.next()) out << (q.isNull(0) ? QStringLiteral("NULL") : q.value(0).toString());
    });
    return out;
}

void ProgramTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    platform::App().path = dir.path();
    platform::App().commandLine.clear();
    // The user's configuration folder of every test is its own, never the real one.
    qputenv(testsupport::kUserConfigHome, dir.filePath(QStringLiteral("config")).toLocal8Bit());
    platform::forgetReportedErrors();
    startup::reiniciarValoresModulo();
}

void ProgramTest::TearDown() {
    utility::iniFileSlot().release();
    utility::utilitiesSlot().release();
    utility::dataAccessSlot().release();
    utility::formStylerSlot().release();
    utility::folderClientSlot().release();
    startup::olvidarConsultaGlobal();
    startup::reiniciarValoresModulo();
}

QString ProgramTest::makeDatabase(const QString& name, const QStringList& statements) {
    const QString file = path(name);
    runSql(file, statements);
    return file;
}

void ProgramTest::openSession(const QString& file) {
    auto& da = utility::dataAccess();
    da.setServer(QStringLiteral("sqlite"));
    da.setDatabaseName(file);
    da.OpenSession(0, 3);
    ASSERT_TRUE(da.IsOpen()) << da.lastOpenError().toStdString();
}

}  // namespace testsupport
