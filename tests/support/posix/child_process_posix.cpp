#include "support/child_process.h"

#include <clocale>

namespace testsupport {

void runInChild(QProcess& process, std::function<void()> inChild) {
    if (inChild) process.setChildProcessModifier(std::move(inChild));
}

const char* const kUserConfigHome = "XDG_CONFIG_HOME";

bool runsInLocale(const QByteArray& wanted) {
    const char* numeric = std::setlocale(LC_NUMERIC, nullptr);
    return numeric && wanted == numeric;
}

}  // namespace testsupport
