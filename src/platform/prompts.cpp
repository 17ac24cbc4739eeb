#include "platform/prompts.h"

#include "platform/console_text.h"
#include "platform/application.h"

#include <cstdio>

namespace platform {

namespace {
ConsolePrompter consolePrompter;
Prompter* current = nullptr;
}  // namespace

Prompter& prompter() { return current ? *current : consolePrompter; }
void setPrompter(Prompter* p) { current = p; }

QList<int> buttonAnswers(int style) {
    switch (style & 0x0F) {
    case vbOKCancel: return {vbOK, vbCancel};
    case vbAbortRetryIgnore: return {vbAbort, vbRetry, vbIgnore};
    case vbYesNoCancel: return {vbYes, vbNo, vbCancel};
    case vbYesNo: return {vbYes, vbNo};
    case vbRetryCancel: return {vbRetry, vbCancel};
    default: return {vbOK};
    }
}

int defaultAnswer(int style) {
    const QList<int> buttons = buttonAnswers(style);
    const qsizetype which = (style & 0x300) >> 8;
    return buttons.at(which < buttons.size() ? which : 0);
}

QString answerCaption(int answer) {
    switch (answer) {
    case vbOK: return QStringLiteral("Aceptar");
    case vbCancel: return QStringLiteral("Cancelar");
    case vbAbort: return QStringLiteral("&Anular");
    case vbRetry: return QStringLiteral("&Reintentar");
    case vbIgnore: return QStringLiteral("&Omitir");
    case vbYes: return QStringLiteral("&Sí");
    case vbNo: return QStringLiteral("&No");
    default: return QString::number(answer);
    }
}

int ConsolePrompter::msgBox(const QString& prompt, int style, const QString&) {
    const bool critical = (style & 0x70) == vbCritical;
    FILE* out = critical ? stderr : stdout;
    std::fputs(consoleBytes(prompt).constData(), out);
    std::fputc('\n', out);
    std::fflush(out);
    switch (style & 0x0F) {
    case vbOKCancel: return vbCancel;
    case vbAbortRetryIgnore: return vbAbort;
    case vbYesNoCancel: return vbCancel;
    case vbYesNo: return vbNo;
    case vbRetryCancel: return vbCancel;
    default: return vbOK;
    }
}

QString ConsolePrompter::inputBox(const QString&, const QString&, const QString&) { return {}; }

int MsgBox(const QString& prompt, int style, const QString& title) {
    return prompter().msgBox(prompt, style, title.isEmpty() ? App().title : title);
}

QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    return prompter().inputBox(prompt, title.isEmpty() ? App().title : title, defaultText);
}

}  // namespace platform
