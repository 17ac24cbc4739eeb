#pragma once

#include <QString>
#include <QStringList>

namespace utility {

// The suite's INI file, read with the Windows profile rules: section and key names ignore
// case, the first matching section and the first matching key in it win, surrounding
// blanks are dropped, and a value in matching quotes loses them. A missing file, section
// or key gives the default.
class IniFile {
public:
    virtual ~IniFile() = default;

    virtual QString ReadValue(const QString& fileName, const QString& section, const QString& key,
                              const QString& defaultValue);

    // Where a bare file name is looked for: the application folder, then the user's
    // configuration folder when the application folder is not writable (an installed
    // program), then the current folder; the name matched without regard to case. Empty
    // when found nowhere.
    static QString locate(const QString& fileName);
    static QStringList searchFolders();
    // The same order from given facts (empty folders are left out, none twice).
    static QStringList searchFolders(const QString& appFolder, bool appWritable, const QString& userFolder,
                                     const QString& currentFolder);
};

// The parsing rules alone, for a file's text already decoded.
QString readProfileValue(const QString& text, const QString& section, const QString& key,
                         const QString& defaultValue);

}  // namespace utility
