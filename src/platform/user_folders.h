#pragma once

#include <QString>
#include <QStringList>

// Where an installed program keeps the files its own folder cannot take.
namespace platform {

// The user's configuration folder for the suite's files, shared by every program of the suite,
// whether or not it exists yet: $XDG_CONFIG_HOME/stockfix (usually ~/.config/stockfix) on
// POSIX, %APPDATA%\stockfix on Windows. Empty when the system names none for this user.
QString userConfigFolder();

// The user's folder for the suite's data (journals), whether or not it exists yet:
// $XDG_DATA_HOME/stockfix (usually ~/.local/share/stockfix) on POSIX, %LOCALAPPDATA%\stockfix
// on Windows. Empty when the system names none.
QString userDataFolder();

// Whether `folder` is where the system keeps installed programs (/usr/bin; Program Files),
// which is no place for a program's data even when it can be written.
bool isSystemProgramFolder(const QString& folder);

// Whether this user can create files in `folder` (false when it does not exist).
bool folderWritable(const QString& folder);

// Whether a program's own folder takes the suite's files (masks, INI files): it can be written
// and is not where the system keeps installed programs, which an administrator (or anybody
// under Wine) can write too.
bool programFolderTakesFiles(const QString& folder);

// The folders of `folder`'s absolute path that do not exist yet, outermost first.
QStringList missingFolders(const QString& folder);

}  // namespace platform
