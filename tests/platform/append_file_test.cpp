// The journal's file as the platform keeps it: private to its owner, locked against a second
// run without blocking readers, appended to and read back.
#include "platform/append_file.h"
#include "support/child_process.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::AppendFile;

TEST(AppendFile, ANewFileIsItsOwnersAloneAndItsLockStopsASecondWriterButNoReader) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("diarios/nuevos"));
    ASSERT_EQ(platform::makePrivateFolder(folder), QString());
    EXPECT_TRUE(testsupport::onlyTheOwnerHasAccess(folder));
    const QString path = QDir(folder).filePath(QStringLiteral("borrado.sql"));

    AppendFile file;
    ASSERT_EQ(file.open(path, AppendFile::Mode::CreateNew), QString());
    EXPECT_TRUE(testsupport::onlyTheOwnerHasAccess(path));
    ASSERT_TRUE(file.tryLock());
    EXPECT_TRUE(platform::lockedByAnother(path));
    ASSERT_EQ(file.write("-- uno\n"), QString());
    ASSERT_EQ(file.write("-- dos\n"), QString());
    ASSERT_EQ(file.sync(), QString());
    EXPECT_EQ(file.size(), 14);
    EXPECT_EQ(file.head(6), QByteArray("-- uno"));
    EXPECT_EQ(file.lastByte(), '\n');

    // A second run: the name is taken for a new journal, and an existing one stays locked.
    AppendFile second;
    bool existed = false;
    EXPECT_NE(second.open(path, AppendFile::Mode::CreateNew, &existed), QString());
    EXPECT_TRUE(existed);
    ASSERT_EQ(second.open(path, AppendFile::Mode::CreateOrAppend), QString());
    EXPECT_FALSE(second.tryLock());
    // A reader (a restore, the user's editor) reads it all meanwhile.
    QFile reader(path);
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));
    EXPECT_EQ(reader.readAll(), QByteArray("-- uno\n-- dos\n"));
    reader.close();

    file.close();
    EXPECT_FALSE(platform::lockedByAnother(path));
    EXPECT_TRUE(second.tryLock());
    ASSERT_EQ(second.write("-- tres\n"), QString());
    second.close();
    QFile whole(path);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    EXPECT_EQ(whole.readAll(), QByteArray("-- uno\n-- dos\n-- tres\n"));
}
