#include "platform/user_folders.h"

#include <QDir>
#include <QStandardPaths>

namespace platform {

namespace {

// A folder the environment names (every Windows sets APPDATA and LOCALAPPDATA), else the
// system's own answer.
QString suiteFolderIn(const char* variable, QStandardPaths::StandardLocation location) {
    QString base = qEnvironmentVariable(variable);
    if (base.isEmpty()) base = QStandardPaths::writableLocation(location);
    return base.isEmpty() ? QString() : QDir(base).filePath(QStringLiteral("stockfix"));
}

bool inside(const QString& folder, const char* variable) {
    const QString base = QDir::cleanPath(qEnvironmentVariable(variable));
    return !base.isEmpty() && (folder.compare(base, Qt::CaseInsensitive) == 0 ||
                               folder.startsWith(base + u'/', Qt::CaseInsensitive));
}

}  // namespace

// Roaming: the mask and INI files follow the user to another desktop.
QString userConfigFolder() { return suiteFolderIn("APPDATA", QStandardPaths::GenericConfigLocation); }

// Local: journals stay on the machine whose database they put back.
QString userDataFolder() { return suiteFolderIn("LOCALAPPDATA", QStandardPaths::GenericDataLocation); }

bool isSystemProgramFolder(const QString& folder) {
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    return inside(clean, "ProgramFiles") || inside(clean, "ProgramFiles(x86)") || inside(clean, "ProgramW6432") ||
           inside(clean, "SystemRoot");
}

}  // namespace platform
