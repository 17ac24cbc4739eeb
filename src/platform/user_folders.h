#pragma once

#include <QString>
#include <QStringList>

// Where an installed program keeps the files its own folder cannot take.
namespace platform {

// The user's configuration folder for the suite's files ($XDG_CONFIG_HOME/stockfix, usually
// ~/.config/stockfix), shared by every program of the suite, whether or not it exists yet.
// Empty when the system names no configuration folder for this user.
QString userConfigFolder();

// Whether this user can create files in `folder` (false when it does not exist).
bool folderWritable(const QString& folder);

// The folders of `folder`'s absolute path that do not exist yet, outermost first.
QStringList missingFolders(const QString& folder);

}  // namespace platform
