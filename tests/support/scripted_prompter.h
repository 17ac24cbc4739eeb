#pragma once

#include "platform/prompts.h"

#include <QList>
#include <QString>
#include <deque>

namespace testsupport {

// Answers message boxes and input prompts from a script and remembers what was asked.
class ScriptedPrompter : public platform::Prompter {
public:
    struct Box {
        QString prompt;
        int style;
        QString title;
    };

    ScriptedPrompter() { platform::setPrompter(this); }
    ~ScriptedPrompter() override { platform::setPrompter(nullptr); }

    // Answers for the boxes to come, in order; when they run out, `fallback` answers.
    void answer(std::initializer_list<int> answers) { answers_.insert(answers_.end(), answers); }
    void answerInput(const QString& text) { inputs_.push_back(text); }
    int fallback = platform::vbOK;

    int msgBox(const QString& prompt, int style, const QString& title) override {
        boxes.push_back({prompt, style, title});
        if (answers_.empty()) return fallback;
        const int a = answers_.front();
        answers_.pop_front();
        return a;
    }
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override {
        inputPrompts.push_back(prompt);
        if (inputs_.empty()) return defaultText;
        QString text = inputs_.front();
        inputs_.pop_front();
        return text;
    }
    bool hasWindows() const override { return true; }

    QList<Box> boxes;
    QStringList inputPrompts;

private:
    std::deque<int> answers_;
    std::deque<QString> inputs_;
};

}  // namespace testsupport
