#include "platform/error_styles.h"

#include "platform/application.h"
#include "platform/prompts.h"

namespace platform {

ErrorHandler skipEveryError() {
    return [](const RuntimeError&) { return ErrorChoice::Skip; };
}

ErrorHandler startupRule() {
    return [](const RuntimeError& e) {
        return e.number() == kInvalidProcedureCall ? ErrorChoice::Skip : ErrorChoice::Leave;
    };
}

ErrorChoice choiceFromAnswer(int answer) {
    if (answer == vbRetry) return ErrorChoice::Retry;
    if (answer == vbIgnore) return ErrorChoice::Skip;
    return ErrorChoice::Leave;
}

ErrorHandler reportAndAsk(std::function<int(const RuntimeError&)> reporter) {
    return [reporter = std::move(reporter)](const RuntimeError& e) { return choiceFromAnswer(reporter(e)); };
}

ErrorHandler messageBoxOnError(int style, QString title) {
    return [style, title](const RuntimeError& e) {
        noteErrorReported();
        MsgBox(e.description(), style, title);
        return ErrorChoice::Leave;
    };
}

}  // namespace platform
