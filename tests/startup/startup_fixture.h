#pragma once

#include "support/test_env.h"

#include <QDir>
#include <QFile>

namespace testsupport {

// A program folder with an optional INI file and a SQLite database with the configuration table.
class StartupTest : public ProgramTest {
protected:
    QString configDatabase(const QStringList& rows, const QString& name = QStringLiteral("cfg.sqlite")) {
        return makeDatabase(name, configurationTable(rows));
    }
    void writeIni(const QByteArray& text, const QString& name = QStringLiteral("ZT000pr.INI")) {
        QFile f(QDir(dir.path()).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
};

}  // namespace testsupport
