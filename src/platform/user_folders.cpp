#include "platform/user_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

QString userConfigFolder() {
    // The generic location, not the per-program one: stockfix, lookup-demo and the suite's
    // other programs installed side by side share one mask file, as they share one folder.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base.isEmpty() ? QString() : QDir(base).filePath(QStringLiteral("stockfix"));
}

bool folderWritable(const QString& folder) {
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

QStringList missingFolders(const QString& folder) {
    QStringList missing;
    for (QString at = QDir::cleanPath(QFileInfo(folder).absoluteFilePath()); !QFileInfo::exists(at);) {
        missing.prepend(at);
        const QString parent = QFileInfo(at).path();
        if (parent == at) break;
        at = parent;
    }
    return missing;
}

}  // namespace platform
