#include "platform/user_folders.h"

#include <QDir>
#include <QStandardPaths>

namespace platform {

namespace {

QString suiteFolderIn(QStandardPaths::StandardLocation location) {
    const QString base = QStandardPaths::writableLocation(location);
    return base.isEmpty() ? QString() : QDir(base).filePath(QStringLiteral("stockfix"));
}

}  // namespace

// The generic locations, not the per-program ones: stockfix, lookup-demo and the suite's other
// programs installed side by side share one mask file, as they share one folder.
QString userConfigFolder() { return suiteFolderIn(QStandardPaths::GenericConfigLocation); }

QString userDataFolder() { return suiteFolderIn(QStandardPaths::GenericDataLocation); }

bool isSystemProgramFolder(const QString& folder) {
    const QString clean = QDir::cleanPath(folder);
    return clean == u"/bin" || clean == u"/sbin" || clean.startsWith(QStringLiteral("/usr/"));
}

}  // namespace platform
