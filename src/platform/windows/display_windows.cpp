#include "platform/application.h"

namespace platform {

// A program runs on the user's desktop, which Windows always has.
bool hasDisplay() { return true; }

}  // namespace platform
