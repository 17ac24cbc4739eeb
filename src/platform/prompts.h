#pragma once

#include <QList>
#include <QString>

// Message boxes and the input prompt, behind one small service so that windows stay
// scriptable in tests and the program can run without a display.
namespace platform {

// Button sets, icons, the default button and answers, by the numbers callers and error reports
// use (4 Retry, 5 Ignore).
enum MsgStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton1 = 0,
    vbDefaultButton2 = 256,
    vbDefaultButton3 = 512,
};
enum MsgAnswer : int { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

class Prompter {
public:
    virtual ~Prompter() = default;
    // Shows a modal message box; `style` adds a button set and an icon. Returns the answer.
    virtual int msgBox(const QString& prompt, int style, const QString& title) = 0;
    // The modal input prompt: the text typed, or the empty text when cancelled.
    virtual QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) = 0;
    // Whether a person sees windows (false in batch and script mode).
    virtual bool hasWindows() const = 0;
    // The status a program ending with `status` ends with (script mode turns 0 into 1
    // once an error was reported).
    virtual int finalStatus(int status) const { return status; }
};

// The program's current prompter; a console prompter until another is installed.
Prompter& prompter();
// Installs a prompter (not owned); nullptr restores the console prompter.
void setPrompter(Prompter* p);

// Writes boxes as text: plain messages to standard output, critical ones to standard
// error. A box with choices answers the one that gives up (Abort, Cancel, No).
class ConsolePrompter : public Prompter {
public:
    int msgBox(const QString& prompt, int style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    bool hasWindows() const override { return false; }
};

// The buttons of a style's set, by their answers, in the order they show.
QList<int> buttonAnswers(int style);
// The button a box answers with when Enter is pressed: its first one, or the second or
// third when the style adds vbDefaultButton2 or vbDefaultButton3.
int defaultAnswer(int style);
// An answer's button as a Spanish desktop captions it, with its access key ("&Reintentar").
QString answerCaption(int answer);

// A message box: the application's title when none is given.
int MsgBox(const QString& prompt, int style = vbOKOnly, const QString& title = {});
QString InputBox(const QString& prompt, const QString& title = {}, const QString& defaultText = {});

}  // namespace platform
