// Property: extracting any key from any command line (any length, past 32767 characters
// too) never crashes; it either raises the overflow error or gives a value that stands in
// the line, has no surrounding blanks and contains no ";".
#include "fuzz_target.h"
#include "platform/runtime_error.h"
#include "startup/command_line.h"

#include <QString>

STOCKFIX_FUZZ_TARGET(command_line) {
    const QString line = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const char* key : {"@ParametroAdicional", "@Menu", "@Server", "@DbName", "@Usuario", "@Password",
                            "@UsuarioLogeado", "@Caja"}) {
        try {
            const QString value = startup::ExtraerClave(line, QString::fromLatin1(key));
            FUZZ_CHECK(!value.contains(u';'));
            FUZZ_CHECK(!value.startsWith(u' ') && !value.endsWith(u' '));
            FUZZ_CHECK(value.isEmpty() || line.contains(value));
        } catch (const platform::RuntimeError& e) {
            FUZZ_CHECK(e.number() == platform::kOverflow);
            FUZZ_CHECK(line.size() > 32000);
        }
    }
    return 0;
}
