#pragma once

#include "demo/demo_database.h"
#include "platform/console_text.h"
#include "support/child_process.h"
#include "support/test_env.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>

namespace testsupport {

// What a run of the stockfix program left: exit status, both outputs, how long it took.
struct Outcome {
    int status;
    QString out, err;
    qint64 ms;
};

// Runs a program as a user would on a machine without a display (unless `env` names a
// platform); `env` adds variables, `workDir` is the current folder when given, `inChild`
// runs in the child before the program starts (limits, signals).
inline Outcome runProgram(const QString& binary, const QStringList& args, const QMap<QString, QString>& env = {},
                          std::function<void()> inChild = {}, const QString& workDir = {}) {
    QProcess p;
    testsupport::runInChild(p, std::move(inChild));
    if (!workDir.isEmpty()) p.setWorkingDirectory(workDir);
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const char* gone : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "STOCKFIX_SCRIPT"})
        e.remove(QString::fromLatin1(gone));
    for (auto it = env.begin(); it != env.end(); ++it) e.insert(it.key(), it.value());
    p.setProcessEnvironment(e);
    QElapsedTimer t;
    t.start();
    p.start(binary, args);
    // Wine now and then fails to create a process while the machine is busy: said, and tried
    // once more.
    if (!p.waitForStarted(60000) && p.error() == QProcess::FailedToStart) {
        std::fprintf(stderr, "runProgram: %s did not start (%s): once more\n", qPrintable(binary), qPrintable(p.errorString()));
        p.start(binary, args);
    }
    EXPECT_TRUE(p.waitForFinished(120000)) << p.errorString().toStdString();
    // Lines as the tests read them: Windows programs end theirs with CR LF.
    auto text = [](const QByteArray& bytes) {
        return platform::fromConsoleBytes(bytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    };
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, text(p.readAllStandardOutput()),
            text(p.readAllStandardError()), t.elapsed()};
}

inline Outcome runStockfix(const QStringList& args, const QMap<QString, QString>& env = {},
                           std::function<void()> inChild = {}) {
    return runProgram(QStringLiteral(STOCKFIX_BINARY), args, env, std::move(inChild));
}

inline QByteArray bytesOf(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeFile(const QString& file, const QByteArray& bytes) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Rows a restore put back, from its output: confirmed batches and unconfirmed ones together.
inline qsizetype restoredRows(const QString& out) {
    qsizetype n = 0;
    for (const QString& line : out.split(u'\n', Qt::SkipEmptyParts)) n += line.section(u' ', 0, 0).toLongLong();
    return n;
}

// A fresh demo database in a folder of its own.
class DemoDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        db = dir.filePath(QStringLiteral("demo.sqlite"));
        ASSERT_EQ(demo::createDemoDatabase(db, demo::DemoOptions{}), QString());
    }
    QTemporaryDir dir;
    QString db;
};

}  // namespace testsupport
