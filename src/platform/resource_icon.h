#pragma once

#include <QIcon>
#include <QString>

namespace platform {

// The icon `name` among the program's own resources; a null icon when it has none of that
// name. POSIX: Qt's resources (":/icons/NAME"). Windows: the program's icon resource of that
// name (its .rc), the one the Start menu and Explorer show too.
QIcon resourceIcon(const QString& name);

}  // namespace platform
