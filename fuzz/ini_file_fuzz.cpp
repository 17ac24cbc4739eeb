// Property: any text read as an INI file gives, for any section and key (those the program
// asks for and those the text itself names), exactly what a reader written separately from
// the profile rules gives: the value of the first line of that key in the first section of
// that name, trimmed and unquoted; the default when the section or the key is missing.
#include "fuzz_target.h"
#include "platform/ansi_text.h"
#include "utility/ini_file.h"

#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

namespace {

QString reference(const QString& text, const QString& section, const QString& key, const QString& fallback) {
    const QStringList lines = text.split(u'\n');
    auto header = [](const QString& line) -> std::optional<QString> {
        if (!line.startsWith(u'[')) return std::nullopt;
        QString name = line.mid(1);
        const qsizetype close = name.indexOf(u']');
        if (close >= 0) name.truncate(close);
        return name.trimmed();
    };
    // The first section of that name...
    qsizetype i = 0;
    for (; i < lines.size(); ++i) {
        const auto name = header(lines[i].trimmed());
        if (name && name->compare(section.trimmed(), Qt::CaseInsensitive) == 0) break;
    }
    // ...and the first line of the key in it, up to the next section.
    for (++i; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (header(line)) break;
        if (line.startsWith(u';')) continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0 || line.left(eq).trimmed().compare(key.trimmed(), Qt::CaseInsensitive) != 0) continue;
        QString value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return fallback;
}

}  // namespace

STOCKFIX_FUZZ_TARGET(ini_file) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString text = platform::fromAnsi(bytes);
    text.remove(u'\r');
    const QString fallback = QStringLiteral("\x01" "default" "\x01");
    std::vector<std::pair<QString, QString>> asked{{QStringLiteral("Iconos"), QStringLiteral("IconoDelSistema")},
                                                   {QStringLiteral("APARIENCIA|GENERAL"), QStringLiteral("FlatToolbars")},
                                                   {QString(), QString()},
                                                   {QStringLiteral("a"), QStringLiteral("b")}};
    // Sections and keys the text names, so that matches are found, not only misses.
    QString section;
    for (const QString& raw : text.split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[')) section = line.mid(1).section(u']', 0, 0);
        else if (line.contains(u'=') && asked.size() < 12) asked.push_back({section, line.section(u'=', 0, 0)});
    }
    for (const auto& [s, k] : asked) {
        const QString value = utility::readProfileValue(text, s, k, fallback);
        FUZZ_CHECK(value == reference(text, s, k, fallback));
    }
    return 0;
}
