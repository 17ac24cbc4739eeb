// Property: extracting any key from any command line (any length, past 32767 characters
// too) never crashes and gives the value of the key asked for: the text after the first
// whole occurrence of that key (@Usuario never takes @UsuarioLogeado's value) up to the
// next ";" or the end, blanks trimmed and the "=" after the key gone. It raises the
// overflow error exactly when that ";" (or the end of a line without one) stands past
// position 32767, the limit of the 16-bit positions the start-up keeps.
#include "fuzz_target.h"
#include "platform/runtime_error.h"
#include "startup/linea_de_comandos.h"
#include "startup/revision_linea.h"

#include <QString>
#include <optional>

namespace {

struct Expected {
    QString value;
    bool overflow = false;
};

// The rule written a second way: scan for the key, check the character after it, cut.
std::optional<Expected> reference(const QString& line, const QString& key) {
    for (qsizetype at = 0; at + key.size() <= line.size(); ++at) {
        if (QStringView(line).mid(at, key.size()).compare(key, Qt::CaseInsensitive) != 0) continue;
        const qsizetype after = at + key.size();
        if (after < line.size() && (line[after].isLetterOrNumber() || line[after] == u'_')) continue;
        qsizetype semicolon = line.indexOf(u';', at);
        const qsizetype end = semicolon < 0 ? line.size() : semicolon;
        if (end + 1 > 32767) return Expected{QString(), true};
        QString value = line.mid(after, end - after);
        while (value.startsWith(u' ')) value.remove(0, 1);
        if (value.startsWith(u'=')) value.remove(0, 1);
        while (value.startsWith(u' ')) value.remove(0, 1);
        while (value.endsWith(u' ')) value.chop(1);
        return Expected{value, false};
    }
    return std::nullopt;
}

}  // namespace

STOCKFIX_FUZZ_TARGET(command_line) {
    const QString line = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QString& key : startup::clavesDeLinea()) {
        const std::optional<Expected> expected = reference(line, key);
        try {
            const QString value = startup::ExtraerClave(line, key);
            FUZZ_CHECK(!expected || !expected->overflow);
            FUZZ_CHECK(value == (expected ? expected->value : QString()));
        } catch (const platform::RuntimeError& e) {
            FUZZ_CHECK(e.number() == platform::kOverflow);
            FUZZ_CHECK(expected && expected->overflow);
        }
    }
    return 0;
}
