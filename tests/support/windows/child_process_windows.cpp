#include "support/child_process.h"

#include <QLocale>
#include <QtGlobal>

namespace testsupport {

void runInChild(QProcess&, std::function<void()> inChild) { Q_ASSERT(!inChild); }

const char* const kUserConfigHome = "APPDATA";

bool runsInLocale(const QByteArray& wanted) {
    if (wanted.startsWith("C.") || wanted == "C") return true;
    const qsizetype dot = wanted.indexOf('.');
    return QLocale::system().name() == QString::fromLatin1(dot < 0 ? wanted : wanted.left(dot));
}

}  // namespace testsupport
