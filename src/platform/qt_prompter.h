#pragma once

#include "platform/prompts.h"

namespace platform {

// Message boxes and the input prompt as real Qt dialogs.
class QtPrompter : public Prompter {
public:
    int msgBox(const QString& prompt, int style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    bool hasWindows() const override { return true; }
};

}  // namespace platform
