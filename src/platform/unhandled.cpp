#include "platform/unhandled.h"

#include "platform/application.h"
#include "platform/prompts.h"

namespace platform {

QString unhandledText(const RuntimeError& e) {
    return QStringLiteral("Error '%1' en tiempo de ejecución:\n\n%2").arg(e.number()).arg(e.description());
}

void ReportUnhandled(const RuntimeError& e) {
    noteErrorReported();
    MsgBox(unhandledText(e), vbOKOnly | vbCritical);
    End(1);
}

}  // namespace platform
