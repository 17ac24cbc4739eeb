#include "utility/ini_file.h"

#include "platform/ansi_text.h"
#include "platform/application.h"
#include "platform/user_folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

// A small reader of our own rather than inih: the profile rules differ from inih's
// (no inline comments, no continuation lines, quotes stripped, first match wins).
namespace utility {

namespace {

QStringView trimmed(QStringView s) { return s.trimmed(); }

QString unquoted(QStringView value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        return value.mid(1, value.size() - 2).toString();
    return value.toString();
}

}  // namespace

QString readProfileValue(const QString& text, const QString& section, const QString& key,
                         const QString& defaultValue) {
    const QString wantedSection = section.trimmed();
    const QString wantedKey = key.trimmed();
    bool sectionSeen = false;
    bool inSection = false;
    for (QStringView raw : QStringView(text).split(u'\n')) {
        QStringView line = trimmed(raw);
        if (line.isEmpty() || line.front() == u';') continue;
        if (line.front() == u'[') {
            if (sectionSeen && inSection) break;  // only the first matching section counts
            qsizetype close = line.indexOf(u']');
            QStringView name = trimmed(close < 0 ? line.mid(1) : line.mid(1, close - 1));
            inSection = name.compare(wantedSection, Qt::CaseInsensitive) == 0;
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        if (!inSection) continue;
        qsizetype eq = line.indexOf(u'=');
        if (eq < 0) continue;
        if (trimmed(line.left(eq)).compare(wantedKey, Qt::CaseInsensitive) == 0)
            return unquoted(trimmed(line.mid(eq + 1)));
    }
    return defaultValue;
}

QStringList IniFile::searchFolders(const QString& appFolder, bool appWritable, const QString& userFolder,
                                   const QString& currentFolder) {
    QStringList folders;
    auto add = [&](const QString& folder) {
        if (!folder.isEmpty() && !folders.contains(folder)) folders << folder;
    };
    add(appFolder);
    if (!appWritable) add(userFolder);
    add(currentFolder);
    return folders;
}

QStringList IniFile::searchFolders() {
    const QString app = platform::App().path;
    // A writable application folder (a build folder, a copy in the user's own folder) keeps
    // the two places it always had; only an installed program looks in the user's folder.
    const bool writable = app.isEmpty() || platform::programFolderTakesFiles(app);
    return searchFolders(app, writable, writable ? QString() : platform::userConfigFolder(), QDir::currentPath());
}

QString IniFile::locate(const QString& fileName) {
    if (QFileInfo(fileName).isAbsolute()) return QFileInfo::exists(fileName) ? fileName : QString();
    for (const QString& folder : searchFolders()) {
        QDir dir(folder);
        if (dir.exists(fileName)) return dir.filePath(fileName);
        const QStringList names = dir.entryList(QDir::Files | QDir::Hidden);
        for (const QString& name : names)
            if (name.compare(fileName, Qt::CaseInsensitive) == 0) return dir.filePath(name);
    }
    return {};
}

QString IniFile::ReadValue(const QString& fileName, const QString& section, const QString& key,
                           const QString& defaultValue) {
    const QString path = locate(fileName);
    if (path.isEmpty()) return defaultValue;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return defaultValue;
    QByteArray bytes = file.readAll();
    QString text = bytes.startsWith("\xEF\xBB\xBF") ? QString::fromUtf8(bytes.mid(3)) : platform::fromAnsi(bytes);
    text.remove(u'\r');
    return readProfileValue(text, section, key, defaultValue);
}

}  // namespace utility
