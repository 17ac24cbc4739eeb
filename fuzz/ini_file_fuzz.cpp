// Property: any text as an INI file is read without a crash; a value found is one of the
// text's own lines' ends, with no surrounding blanks unless quoted, and a missing key gives
// the default.
#include "fuzz_target.h"
#include "platform/ansi_text.h"
#include "utility/ini_file.h"

STOCKFIX_FUZZ_TARGET(ini_file) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString text = platform::fromAnsi(bytes);
    text.remove(u'\r');
    const QString fallback = QStringLiteral("\x01" "default" "\x01");
    for (const auto& [section, key] : {std::pair{"Iconos", "IconoDelSistema"}, std::pair{"APARIENCIA|GENERAL", "FlatToolbars"},
                                       std::pair{"", ""}, std::pair{"a", "b"}}) {
        const QString value = utility::readProfileValue(text, QString::fromLatin1(section), QString::fromLatin1(key), fallback);
        FUZZ_CHECK(value == fallback || text.contains(value));
        FUZZ_CHECK(!value.contains(u'\n'));
    }
    return 0;
}
