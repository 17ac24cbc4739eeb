#include "support/child_process.h"

#include <QDir>
#include <QLocale>
#include <QtGlobal>
#include <vector>

#include <windows.h>
#include <shellapi.h>
#include <aclapi.h>
#include <sddl.h>

namespace testsupport {

void runInChild(QProcess&, std::function<void()> inChild) { Q_ASSERT(!inChild); }

bool runsUnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

// The user this process runs as (an administrator's new files may be owned by the
// Administrators group instead: the entries name the user).
std::vector<unsigned char> processUser() {
    HANDLE token = nullptr;
    std::vector<unsigned char> user;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return user;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    user.resize(size);
    if (size == 0 || !GetTokenInformation(token, TokenUser, user.data(), size, &size)) user.clear();
    CloseHandle(token);
    return user;
}

bool onlyTheOwnerHasAccess(const QString& path) {
    const std::vector<unsigned char> user = processUser();
    if (user.empty()) return false;
    const PSID owner = reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid;
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(name.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                              &descriptor) != ERROR_SUCCESS)
        return false;
    bool alone = dacl != nullptr && dacl->AceCount > 0;
    // Wine keeps no access list of its own: it reports one made from the Unix permissions, the
    // owner's and SYSTEM's entries for a file of its owner alone, anybody's otherwise.
    const bool wine = runsUnderWine();
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    // Protected: nothing comes in from the folder above.
    alone = alone && (wine || (GetSecurityDescriptorControl(descriptor, &control, &revision) && (control & SE_DACL_PROTECTED)));
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID system = nullptr;
    AllocateAndInitializeSid(&nt, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &system);
    for (DWORD i = 0; alone && i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        alone = GetAce(dacl, i, &ace) && static_cast<ACE_HEADER*>(ace)->AceType == ACCESS_ALLOWED_ACE_TYPE;
        const PSID who = alone ? reinterpret_cast<PSID>(&static_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart) : nullptr;
        alone = alone && (EqualSid(who, owner) || (wine && system && EqualSid(who, system)));
    }
    if (system) FreeSid(system);
    LocalFree(descriptor);
    return alone;
}

std::optional<QStringList> platformArgumentsOf(const QString& text) {
    const std::wstring line = (QStringLiteral("programa.exe ") + text).toStdWString();
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(line.c_str(), &count);
    if (!wide) return std::nullopt;
    QStringList arguments;
    for (int i = 1; i < count; ++i) arguments << QString::fromWCharArray(wide[i]);
    LocalFree(wide);
    return arguments;
}

const char* const kUserConfigHome = "APPDATA";
const bool kProgramsCanLackADisplay = false;
const char* const kWindowStyle = "windowsvista";
const bool kProgramIconResources = true;
const bool kOpenFilesCanBeRemoved = false;
const bool kCommandLinesPastTheKeyLimit = false;

bool runsInLocale(const QByteArray& wanted) {
    if (wanted.startsWith("C.") || wanted == "C") return true;
    const qsizetype dot = wanted.indexOf('.');
    return QLocale::system().name() == QString::fromLatin1(dot < 0 ? wanted : wanted.left(dot));
}

}  // namespace testsupport
