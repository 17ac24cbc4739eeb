#pragma once

#include "correction/program_run.h"

#include <QDir>
#include <QFile>
#include <ostream>

QT_BEGIN_NAMESPACE
// Texts in failure messages as text.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE

namespace testsupport {

// A folder of its own for each test: the demo database in it, and a copy of lookup-demo
// beside it, so that the mask file the start-up writes into the program's folder is this
// test's own.
class ProgramsTest : public DemoDatabaseTest {
protected:
    void SetUp() override {
        DemoDatabaseTest::SetUp();
        ASSERT_TRUE(runtime.isValid());
        lookupDemo = dir.filePath(QStringLiteral("lookup-demo"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(LOOKUP_DEMO_BINARY), lookupDemo));
    }

    // The variables a headless run gets: the offscreen platform when it shows windows,
    // a private runtime folder so that Qt has nothing to say about it.
    QMap<QString, QString> environment(bool windows, const QMap<QString, QString>& more = {}) const {
        QMap<QString, QString> env = more;
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        if (windows) env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }

    QTemporaryDir runtime;
    QString lookupDemo;
};

// The lines of a program's output, without the line ends.
inline QStringList linesOf(const QString& text) { return text.split(u'\n', Qt::SkipEmptyParts); }

}  // namespace testsupport
