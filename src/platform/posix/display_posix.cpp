#include "platform/application.h"

#include <QtGlobal>

namespace platform {

bool hasDisplay() {
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
           qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

// Desktops differ (GNOME, KDE, none): the house's look is the same on all.
QString nativeStyleName() { return {}; }

}  // namespace platform
