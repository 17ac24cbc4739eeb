#pragma once

#include "platform/runtime_error.h"

#include <functional>
#include <optional>

// The error-handling styles a procedure chooses from, as small helpers so that each
// procedure can be read step by step like its design:
//
//   ErrorScope scope(reportAndAsk(QStringLiteral("Cfg")));
//   scope.step([&] { ... });   // retried, skipped or left as the user chooses
//   scope.step([&] { ... });   // does nothing once the procedure was left
//
// A procedure without a handler simply lets RuntimeError propagate.
namespace platform {

enum class ErrorChoice { Retry, Skip, Leave };

using ErrorHandler = std::function<ErrorChoice(const RuntimeError&)>;

class ErrorScope {
public:
    explicit ErrorScope(ErrorHandler handler) : handler_(std::move(handler)) {}

    // Runs one step. Returns false when the procedure has been left (now or earlier). An
    // exception that is no run-time error becomes one and is handled the same way.
    template <class Step>
    bool step(Step&& run) {
        if (left_) return false;
        for (;;) {
            std::optional<RuntimeError> failure;
            try {
                run();
                return true;
            } catch (const std::exception& e) {
                failure = RuntimeError::fromException(e);
            }
            switch (handler_(*failure)) {
            case ErrorChoice::Retry: continue;
            case ErrorChoice::Skip: return true;
            case ErrorChoice::Leave:
                left_ = true;
                error_ = failure;
                return false;
            }
        }
    }

    bool left() const { return left_; }
    // The error that made the procedure leave, if any.
    const std::optional<RuntimeError>& error() const { return error_; }

private:
    ErrorHandler handler_;
    bool left_ = false;
    std::optional<RuntimeError> error_;
};

// Every failing step is passed over silently.
ErrorHandler skipEveryError();

// The start-up's rule: invalid procedure call (5) skips the step, any other error leaves quietly.
ErrorHandler startupRule();

// Asks the user through the given reporter (Utilities.ReportError): 4 retries the step,
// 5 skips it, anything else leaves.
ErrorHandler reportAndAsk(std::function<int(const RuntimeError&)> reporter);

// Shows the error's description in a message box, then leaves.
ErrorHandler messageBoxOnError(int style = 0, QString title = {});

// Maps a ReportError answer onto the choice it stands for.
ErrorChoice choiceFromAnswer(int answer);

}  // namespace platform
