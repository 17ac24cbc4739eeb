#include "startup/linea_de_comandos.h"

#include "platform/runtime_error.h"
#include "platform/text_rules.h"

namespace startup {

using platform::CheckedInt16;

namespace {

bool esCaracterDeClave(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

// 1-based position of the first whole occurrence of `key`, ignoring case; 0 when none.
int posicionDeClaveEntera(const QString& line, const QString& key) {
    qsizetype from = 0;
    while (true) {
        const qsizetype at = line.indexOf(key, from, Qt::CaseInsensitive);
        if (at < 0) return 0;
        const qsizetype after = at + key.size();
        if (after >= line.size() || !esCaracterDeClave(line[after])) {
            if (at + 1 > 32767) throw platform::RuntimeError::of(platform::kOverflow);
            return int(at + 1);
        }
        from = at + 1;
    }
}

}  // namespace

QString ExtraerClave(const QString& commandLine, const QString& key) {
    const int p = posicionDeClaveEntera(commandLine, key);
    if (p == 0) return {};
    long long s = platform::InStrNoCase(p, commandLine, QStringLiteral(";"));
    if (s == 0) s = commandLine.size() + 1;  // the last key takes the rest of the line
    CheckedInt16(s);
    const int16_t length = CheckedInt16(s - key.size() - p);
    QString value = commandLine.mid(p - 1 + key.size(), length);
    value = platform::LTrim(value);
    if (value.startsWith(u'=')) value.remove(0, 1);
    return platform::Trim(value);
}

}  // namespace startup
