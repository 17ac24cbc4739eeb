#pragma once

#include "support/test_env.h"

#include <QDir>
#include <QFile>

namespace testsupport {

// A program folder with an optional INI file and a SQLite database with the configuration table.
class StartupTest : public ProgramTest {
protected:
    QString configDatabase(const QStringList& rows, const QString& name = QStringLiteral("cfg.sqlite")) {
        QStringList statements{QStringLiteral("CREATE TABLE TA_CONFIGURACION (CLAVE VARCHAR(50) COLLATE NOCASE, "
                                              "VALOR VARCHAR(255))")};
        for (const QString& row : rows)
            statements << QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES (%1)").arg(row);
        return makeDatabase(name, statements);
    }
    void writeIni(const QByteArray& text, const QString& name = QStringLiteral("ZT000pr.INI")) {
        QFile f(QDir(dir.path()).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
};

}  // namespace testsupport
