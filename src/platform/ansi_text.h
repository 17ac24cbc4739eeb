#pragma once

#include <QByteArray>
#include <QString>

// Files of the suite are written in the Windows ANSI code page (Windows-1252): through Qt's
// codecs (ICU) on POSIX, through the system's own code page 1252 on Windows.
namespace platform {

QString fromAnsi(const QByteArray& bytes);
// Characters the code page lacks become "?".
QByteArray toAnsi(const QString& text);

}  // namespace platform
