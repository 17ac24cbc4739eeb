#pragma once

#include "platform/application.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace testsupport {

// Runs `body`, expecting it to end the program; returns the exit status it ended with.
template <class Body>
int endStatusOf(Body&& body) {
    try {
        body();
    } catch (const platform::ProgramEnded& e) {
        return e.status;
    }
    ADD_FAILURE() << "the program did not end";
    return -1;
}

// A fresh program state for each test: library objects released, module values reset,
// the application folder a temporary one.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString path(const QString& name) const { return dir.filePath(name); }
    // A SQLite file made by `statements`.
    QString makeDatabase(const QString& name, const QStringList& statements);
    // Opens the program's session on a SQLite file, as the start-up would.
    void openSession(const QString& file);

    QTemporaryDir dir;
};

// The configuration table as the suite declares it (keys compared without case), with a row
// for each of `rows`, given as SQL values ("'CFondo', '255'").
QStringList configurationTable(const QStringList& rows = {});
// Runs statements on a SQLite file through a connection of its own.
void runSql(const QString& file, const QStringList& statements);
// One column of a query's rows, as text ("NULL" for Null).
QStringList queryColumn(const QString& file, const QString& sql);

}  // namespace testsupport
