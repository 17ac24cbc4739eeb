#include "platform/resource_icon.h"

#include <QFile>

namespace platform {

QIcon resourceIcon(const QString& name) {
    const QString path = QStringLiteral(":/icons/") + name;
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

}  // namespace platform
