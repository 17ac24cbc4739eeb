#include "platform/append_file.h"
#include "platform/user_folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStringList>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString errnoText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QByteArray nativePath(const QString& path) { return QFile::encodeName(path); }

}  // namespace

AppendFile::~AppendFile() { close(); }

void AppendFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

QString AppendFile::open(const QString& path, Mode mode, bool* existed) {
    close();
    if (existed) *existed = false;
    int flags = O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW;
    if (mode == Mode::CreateNew) flags |= O_EXCL;
    const int fd = ::open(nativePath(path).constData(), flags, 0600);
    if (fd < 0) {
        const int error = errno;
        if (error == EEXIST && existed) *existed = true;
        if (error == ELOOP) return QStringLiteral("es un enlace simbólico: no se sigue");
        return errnoText(error);
    }
    // Closed on every way out but the one that keeps it.
    auto closeOnFailure = qScopeGuard([fd] { ::close(fd); });
    struct stat st {};
    if (::fstat(fd, &st) != 0) return errnoText(errno);
    // A file someone else owns or may write could be changed behind the run's back.
    QString why;
    if (!S_ISREG(st.st_mode)) why = QStringLiteral("no es un archivo común");
    else if (st.st_uid != ::geteuid()) why = QStringLiteral("el archivo es de otro usuario");
    else if (st.st_mode & (S_IWGRP | S_IWOTH)) why = QStringLiteral("otros usuarios pueden escribir el archivo");
    else if (st.st_nlink > 1) why = QStringLiteral("el archivo tiene otros nombres (enlaces duros)");
    if (!why.isEmpty()) return why;
    // It will hold what the run deletes: readable by its owner only.
    if ((st.st_mode & 077) && ::fchmod(fd, 0600) != 0) return errnoText(errno);
    closeOnFailure.dismiss();
    fd_ = fd;
    return {};
}

bool AppendFile::tryLock() { return fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0; }

qint64 AppendFile::size() const {
    struct stat st {};
    return fd_ >= 0 && ::fstat(fd_, &st) == 0 ? qint64(st.st_size) : -1;
}

QByteArray AppendFile::head(int n) const {
    QByteArray bytes(n, Qt::Uninitialized);
    const ssize_t got = fd_ >= 0 ? ::pread(fd_, bytes.data(), size_t(n), 0) : -1;
    bytes.truncate(got > 0 ? qsizetype(got) : 0);
    return bytes;
}

int AppendFile::lastByte() const {
    const qint64 end = size();
    unsigned char c = 0;
    if (end <= 0 || ::pread(fd_, &c, 1, off_t(end - 1)) != 1) return -1;
    return c;
}

QString AppendFile::write(const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, data, size_t(left));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errnoText(errno);
        }
        data += n;
        left -= n;
    }
    return {};
}

QString AppendFile::sync() { return ::fsync(fd_) == 0 ? QString() : errnoText(errno); }

void syncFolder(const QString& folder) {
    const int dir = ::open(nativePath(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

QString makePrivateFolder(const QString& folder) {
    const QString clean = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QStringList missing = missingFolders(clean);
    for (const QString& part : missing) {
        if (::mkdir(nativePath(part).constData(), 0700) != 0 && errno != EEXIST)
            return QStringLiteral("no se pudo crear la carpeta %1: %2").arg(part, errnoText(errno));
        syncFolder(QFileInfo(part).path());
    }
    struct stat st {};
    if (::stat(nativePath(clean).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return QStringLiteral("%1 no es una carpeta").arg(clean);
    // Another user's folder could have its files taken away or replaced.
    if (st.st_uid != ::geteuid()) return QStringLiteral("la carpeta %1 es de otro usuario").arg(clean);
    if ((st.st_mode & 077) && ::chmod(nativePath(clean).constData(), 0700) != 0)
        return QStringLiteral("no se pudo hacer privada la carpeta %1: %2").arg(clean, errnoText(errno));
    return {};
}

bool lockedByAnother(const QString& path) {
    const int fd = ::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool busy = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return busy;
}

}  // namespace platform
