#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// A private file that a program appends to and syncs: a log whose lines must be on disk
// before the work they describe is done (the deletion journal). Every failure is returned as
// a reason in the user's words, never raised.
namespace platform {

class AppendFile {
public:
    enum class Mode {
        CreateNew,       // fails with `existed` set when the name is taken
        CreateOrAppend,  // an existing file is appended to
    };

    AppendFile() = default;
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Opens `path` for appending. The final name is never followed when it is a symbolic
    // link; an existing file must belong to this user and be writable by nobody else. A new
    // file is readable and writable by its owner only. Returns why it failed, or nothing.
    QString open(const QString& path, Mode mode, bool* existed = nullptr);
    bool isOpen() const { return fd_ != -1; }
    void close();

    // An exclusive lock held until the file is closed; false when another process (or
    // another open of the file) holds one.
    bool tryLock();

    qint64 size() const;
    // The first `n` bytes, and the last byte (-1 for an empty file).
    QByteArray head(int n) const;
    int lastByte() const;

    QString write(const QByteArray& bytes);
    // Waits until everything written is on disk.
    QString sync();

private:
    std::intptr_t fd_ = -1;  // the descriptor, or on Windows the handle
};

// Creates `folder` and its missing parents, the new ones readable by their owner only, each
// new entry synced into its parent; an existing `folder` of this user is made private too.
QString makePrivateFolder(const QString& folder);

// Makes a new entry of `folder` durable.
void syncFolder(const QString& folder);

// Whether another process holds the lock of AppendFile::tryLock on `path`.
bool lockedByAnother(const QString& path);

}  // namespace platform
