#include "platform/command_line.h"

namespace platform {

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

}  // namespace

QString CommandLine::textOf(const QList<qsizetype>& chosen) const {
    if (chosen.isEmpty()) return {};
    bool together = true;
    for (qsizetype i = 1; i < chosen.size(); ++i) together = together && chosen[i] == chosen[i - 1] + 1;
    if (together) return text.mid(starts[chosen.front()], ends[chosen.back()] - starts[chosen.front()]);
    QStringList pieces;
    for (const qsizetype i : chosen) pieces << text.mid(starts[i], ends[i] - starts[i]);
    return pieces.join(u' ');
}

CommandLine joinedCommandLine(const QStringList& arguments) {
    CommandLine line;
    line.arguments = arguments;
    for (const QString& argument : arguments) {
        if (!line.starts.isEmpty()) line.text += u' ';
        line.starts << line.text.size();
        line.text += argument;
        line.ends << line.text.size();
    }
    return line;
}

CommandLine splitWindowsCommandLine(const QString& text) {
    CommandLine line;
    line.text = text;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (true) {
        while (i < n && isBlank(text[i])) ++i;
        if (i >= n) break;
        line.starts << i;
        QString argument;
        bool quoted = false;
        while (i < n && (quoted || !isBlank(text[i]))) {
            qsizetype slashes = 0;
            while (i < n && text[i] == u'\\') ++slashes, ++i;
            if (i < n && text[i] == u'"') {
                argument += QString(slashes / 2, u'\\');
                if (slashes % 2 == 1) {
                    argument += u'"';
                } else if (quoted && i + 1 < n && text[i + 1] == u'"') {
                    argument += u'"';
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                argument += QString(slashes, u'\\');
                if (slashes == 0) argument += text[i++];
            }
        }
        line.arguments << argument;
        line.ends << i;
    }
    return line;
}

QString afterProgramName(QStringView whole) {
    qsizetype i = 0;
    if (!whole.isEmpty() && whole[0] == u'"') {
        const qsizetype close = whole.indexOf(u'"', 1);
        i = close < 0 ? whole.size() : close + 1;
    } else {
        while (i < whole.size() && !isBlank(whole[i])) ++i;
    }
    while (i < whole.size() && isBlank(whole[i])) ++i;
    return whole.mid(i).toString();
}

}  // namespace platform
