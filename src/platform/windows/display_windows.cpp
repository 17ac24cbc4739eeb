#include "platform/application.h"

namespace platform {

// A program runs on the user's desktop, which Windows always has.
bool hasDisplay() { return true; }

// Windows' programs look as the system draws them (the windowsvista style, linked in).
QString nativeStyleName() { return QStringLiteral("windowsvista"); }

}  // namespace platform
