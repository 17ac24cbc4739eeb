#pragma once

#include "platform/prompts.h"

#include <QStringList>
#include <cstdio>

namespace platform {

// Script mode: nobody watches the windows, so every message box is written to standard
// error (its title, its text and the answer taken) and answered with its default button;
// the input prompt takes its default text. A script run that reported an error ends with
// status 1 (see End).
class ScriptPrompter : public Prompter {
public:
    explicit ScriptPrompter(std::FILE* out = stderr) : out_(out) {}
    int msgBox(const QString& prompt, int style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    bool hasWindows() const override { return false; }
    int finalStatus(int status) const override;

    // The lines written for one box: each line of its text after "[title] ", then the answer.
    static QStringList linesFor(const QString& prompt, const QString& title, const QString& answer);

private:
    void write(const QStringList& lines);
    std::FILE* out_;
};

// Whether the environment asks for script mode: STOCKFIX_SCRIPT set to anything but
// "" or "0".
bool scriptModeRequested();

// Installs the prompter of a program with windows: the script prompter when `script` is
// true or the environment asks for script mode, real dialogs otherwise. Returns it.
Prompter& useWindowPrompter(bool script = false);

}  // namespace platform
