#include "support/child_process.h"

#include <clocale>

namespace testsupport {

void runInChild(QProcess& process, std::function<void()> inChild) {
    if (inChild) process.setChildProcessModifier(std::move(inChild));
}

bool runsUnderWine() { return false; }

std::optional<QStringList> platformArgumentsOf(const QString&) { return std::nullopt; }

const char* const kUserConfigHome = "XDG_CONFIG_HOME";
const bool kProgramsCanLackADisplay = true;
const bool kProgramIconResources = false;
const bool kOpenFilesCanBeRemoved = true;
const bool kCommandLinesPastTheKeyLimit = true;

bool runsInLocale(const QByteArray& wanted) {
    const char* numeric = std::setlocale(LC_NUMERIC, nullptr);
    return numeric && wanted == numeric;
}

}  // namespace testsupport
