#include "platform/user_folders.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

bool folderWritable(const QString& folder) {
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

bool programFolderTakesFiles(const QString& folder) { return folderWritable(folder) && !isSystemProgramFolder(folder); }

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
