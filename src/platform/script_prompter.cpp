#include "platform/script_prompter.h"

#include "platform/console_text.h"
#include "platform/application.h"
#include "platform/qt_prompter.h"

namespace platform {

QStringList ScriptPrompter::linesFor(const QString& prompt, const QString& title, const QString& answer) {
    const QString head = u'[' + title + QStringLiteral("] ");
    QStringList lines;
    QString text = prompt;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    for (const QString& line : text.split(u'\n'))
        if (!line.trimmed().isEmpty()) lines << head + line;
    lines << head + QStringLiteral("respuesta: ") + answer;
    return lines;
}

void ScriptPrompter::write(const QStringList& lines) {
    for (const QString& line : lines) {
        std::fputs(consoleBytes(line).constData(), out_);
        std::fputc('\n', out_);
    }
    std::fflush(out_);
}

int ScriptPrompter::msgBox(const QString& prompt, int style, const QString& title) {
    const int answer = defaultAnswer(style);
    write(linesFor(prompt, title, answerCaption(answer).remove(u'&')));
    return answer;
}

QString ScriptPrompter::inputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    write(linesFor(prompt, title, u'"' + defaultText + u'"'));
    return defaultText;
}

int ScriptPrompter::finalStatus(int status) const { return status == 0 && errorReported() ? 1 : status; }

bool scriptModeRequested() {
    const QString value = qEnvironmentVariable("STOCKFIX_SCRIPT").trimmed();
    return !value.isEmpty() && value != u"0";
}

Prompter& useWindowPrompter(bool script) {
    static QtPrompter dialogs;
    static ScriptPrompter toStandardError;
    Prompter& chosen = script || scriptModeRequested() ? static_cast<Prompter&>(toStandardError)
                                                      : static_cast<Prompter&>(dialogs);
    setPrompter(&chosen);
    return chosen;
}

}  // namespace platform
