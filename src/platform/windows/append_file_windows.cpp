#include "platform/append_file.h"
#include "platform/user_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStringList>

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

namespace platform {

namespace {

HANDLE handleOf(std::intptr_t fd) { return reinterpret_cast<HANDLE>(fd); }

std::wstring wide(const QString& path) {
    const QString native = QDir::toNativeSeparators(path);
    return std::wstring(reinterpret_cast<const wchar_t*>(native.utf16()), size_t(native.size()));
}

// The system's own words for an error.
QString errorText(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    QString said = n > 0 ? QString::fromWCharArray(text, int(n)).trimmed() : QStringLiteral("error %1").arg(error);
    LocalFree(text);
    return said;
}

// The current user's security identifier, as text ("S-1-5-21-...").
QString userSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    auto closeToken = qScopeGuard([token] { CloseHandle(token); });
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    if (size == 0 || !GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) return {};
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return {};
    const QString sid = QString::fromWCharArray(text);
    LocalFree(text);
    return sid;
}

// A security descriptor that lets this user alone in (no access inherited from the folder).
class PrivateSecurity {
public:
    PrivateSecurity() {
        const QString sid = userSid();
        if (sid.isEmpty()) return;
        const QString sddl = QStringLiteral("D:P(A;OICI;FA;;;%1)").arg(sid);
        ConvertStringSecurityDescriptorToSecurityDescriptorW(reinterpret_cast<LPCWSTR>(sddl.utf16()), SDDL_REVISION_1,
                                                             &descriptor_, nullptr);
        attributes_.nLength = sizeof attributes_;
        attributes_.lpSecurityDescriptor = descriptor_;
        attributes_.bInheritHandle = FALSE;
    }
    ~PrivateSecurity() { LocalFree(descriptor_); }
    PrivateSecurity(const PrivateSecurity&) = delete;
    PrivateSecurity& operator=(const PrivateSecurity&) = delete;

    SECURITY_ATTRIBUTES* attributes() { return descriptor_ ? &attributes_ : nullptr; }
    // Applies the descriptor's access list to an existing file or folder.
    bool applyTo(HANDLE h) const {
        if (!descriptor_) return false;
        BOOL present = FALSE, defaulted = FALSE;
        PACL dacl = nullptr;
        if (!GetSecurityDescriptorDacl(descriptor_, &present, &dacl, &defaulted) || !present) return false;
        return SetSecurityInfo(h, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                               nullptr, nullptr, dacl, nullptr) == ERROR_SUCCESS;
    }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{};
};

// Whether the file or folder belongs to this user (true when the system keeps no owners).
bool ownedByUser(HANDLE h) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(h, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr, &descriptor) !=
        ERROR_SUCCESS)
        return true;
    auto release = qScopeGuard([descriptor] { LocalFree(descriptor); });
    wchar_t* text = nullptr;
    if (!owner || !ConvertSidToStringSidW(owner, &text)) return true;
    const QString sid = QString::fromWCharArray(text);
    LocalFree(text);
    // The administrators group owns what an elevated program of this user creates.
    return sid == userSid() || sid == QLatin1String("S-1-5-32-544");
}

// The journal lock: one byte far past any end of file, so that the lock keeps nobody from
// reading the file (Windows locks are mandatory for what they cover).
constexpr DWORD kLockOffsetHigh = 0x7fffffff;

bool lockRange(HANDLE h, DWORD flags) {
    OVERLAPPED at{};
    at.OffsetHigh = kLockOffsetHigh;
    return LockFileEx(h, flags | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0;
}

bool readAt(HANDLE h, qint64 offset, void* into, DWORD n, DWORD* got) {
    OVERLAPPED at{};
    at.Offset = DWORD(offset & 0xffffffff);
    at.OffsetHigh = DWORD(offset >> 32);
    return ReadFile(h, into, n, got, &at) != 0;
}

}  // namespace

AppendFile::~AppendFile() { close(); }

void AppendFile::close() {
    if (fd_ != -1) CloseHandle(handleOf(fd_));
    fd_ = -1;
}

QString AppendFile::open(const QString& path, Mode mode, bool* existed) {
    close();
    if (existed) *existed = false;
    PrivateSecurity security;
    // The final name is opened itself, never what a link names.
    HANDLE h = CreateFileW(wide(path).c_str(), GENERIC_READ | FILE_APPEND_DATA | READ_CONTROL | WRITE_DAC,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, security.attributes(),
                           mode == Mode::CreateNew ? CREATE_NEW : OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if ((error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) && existed) *existed = true;
        return errorText(error);
    }
    const bool created = GetLastError() != ERROR_ALREADY_EXISTS;
    auto closeOnFailure = qScopeGuard([h] { CloseHandle(h); });
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(h, &info)) return errorText(GetLastError());
    // A file someone else owns could be changed behind the run's back.
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return QStringLiteral("es un enlace simbólico: no se sigue");
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return QStringLiteral("no es un archivo común");
    if (info.nNumberOfLinks > 1) return QStringLiteral("el archivo tiene otros nombres (enlaces duros)");
    if (!ownedByUser(h)) return QStringLiteral("el archivo es de otro usuario");
    // It will hold what the run deletes: this user's alone.
    if (!created) security.applyTo(h);
    closeOnFailure.dismiss();
    fd_ = reinterpret_cast<std::intptr_t>(h);
    return {};
}

bool AppendFile::tryLock() { return fd_ != -1 && lockRange(handleOf(fd_), LOCKFILE_EXCLUSIVE_LOCK); }

qint64 AppendFile::size() const {
    LARGE_INTEGER n{};
    return fd_ != -1 && GetFileSizeEx(handleOf(fd_), &n) ? qint64(n.QuadPart) : -1;
}

QByteArray AppendFile::head(int n) const {
    QByteArray bytes(n, Qt::Uninitialized);
    DWORD got = 0;
    if (fd_ == -1 || !readAt(handleOf(fd_), 0, bytes.data(), DWORD(n), &got)) got = 0;
    bytes.truncate(qsizetype(got));
    return bytes;
}

int AppendFile::lastByte() const {
    const qint64 end = size();
    unsigned char c = 0;
    DWORD got = 0;
    if (end <= 0 || !readAt(handleOf(fd_), end - 1, &c, 1, &got) || got != 1) return -1;
    return c;
}

QString AppendFile::write(const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        DWORD wrote = 0;
        const DWORD chunk = DWORD(std::min<qsizetype>(left, 1 << 30));
        if (!WriteFile(handleOf(fd_), data, chunk, &wrote, nullptr)) return errorText(GetLastError());
        data += wrote;
        left -= qsizetype(wrote);
    }
    return {};
}

QString AppendFile::sync() { return FlushFileBuffers(handleOf(fd_)) ? QString() : errorText(GetLastError()); }

// NTFS journals its folders' entries itself: nothing to flush for a new name.
void syncFolder(const QString&) {}

QString makePrivateFolder(const QString& folder) {
    const QString clean = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QStringList missing = missingFolders(clean);
    PrivateSecurity security;
    for (const QString& part : missing) {
        if (!CreateDirectoryW(wide(part).c_str(), security.attributes()) && GetLastError() != ERROR_ALREADY_EXISTS)
            return QStringLiteral("no se pudo crear la carpeta %1: %2").arg(part, errorText(GetLastError()));
    }
    HANDLE h = CreateFileW(wide(clean).c_str(), READ_CONTROL | WRITE_DAC, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE || !QFileInfo(clean).isDir()) {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        return QStringLiteral("%1 no es una carpeta").arg(clean);
    }
    auto closeFolder = qScopeGuard([h] { CloseHandle(h); });
    // Another user's folder could have its files taken away or replaced.
    if (!ownedByUser(h)) return QStringLiteral("la carpeta %1 es de otro usuario").arg(clean);
    if (missing.isEmpty()) security.applyTo(h);
    return {};
}

bool lockedByAnother(const QString& path) {
    HANDLE h = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool busy = !lockRange(h, 0);
    CloseHandle(h);
    return busy;
}

}  // namespace platform
