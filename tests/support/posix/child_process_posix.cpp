#include "support/child_process.h"

#include <QFile>
#include <QFileInfo>

#include <clocale>

namespace testsupport {

void runInChild(QProcess& process, std::function<void()> inChild) {
    if (inChild) process.setChildProcessModifier(std::move(inChild));
}

bool runsUnderWine() { return false; }

bool onlyTheOwnerHasAccess(const QString& path) {
    const QFileDevice::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                                            QFile::WriteOther | QFile::ExeOther;
    return QFileInfo::exists(path) && (QFileInfo(path).permissions() & others) == 0;
}

std::optional<QStringList> platformArgumentsOf(const QString&) { return std::nullopt; }

const char* const kUserConfigHome = "XDG_CONFIG_HOME";
const bool kProgramsCanLackADisplay = true;
const char* const kWindowStyle = "fusion";
const bool kProgramIconResources = false;
const bool kOpenFilesCanBeRemoved = true;
const bool kCommandLinesPastTheKeyLimit = true;

bool runsInLocale(const QByteArray& wanted) {
    const char* numeric = std::setlocale(LC_NUMERIC, nullptr);
    return numeric && wanted == numeric;
}

}  // namespace testsupport
