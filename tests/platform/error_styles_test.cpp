#include "platform/error_styles.h"
#include "platform/prompts.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <stdexcept>
#include <vector>

using namespace platform;

namespace {

// A reporter that answers from a script and counts its questions.
struct Answers {
    std::deque<int> script;
    int asked = 0;
    std::function<int(const RuntimeError&)> reporter() {
        return [this](const RuntimeError&) {
            ++asked;
            const int a = script.empty() ? vbAbort : script.front();
            if (!script.empty()) script.pop_front();
            return a;
        };
    }
};

}  // namespace

TEST(ErrorScope, RetryRunsTheFailingStepAgainSkipGoesOnAnythingElseLeaves) {
    Answers answers{{vbRetry, vbIgnore, vbAbort}};
    ErrorScope scope(reportAndAsk(answers.reporter()));
    std::vector<std::string> ran;
    int attempts = 0;

    EXPECT_TRUE(scope.step([&] {
        if (++attempts == 1) throw RuntimeError::of(kTypeMismatch);
        ran.push_back("retried");
    }));
    EXPECT_TRUE(scope.step([&] { throw RuntimeError::of(kOverflow); }));  // skipped
    scope.step([&] { ran.push_back("after skip"); });
    EXPECT_FALSE(scope.step([&] { throw RuntimeError::of(kOverflow); }));  // abort: leave
    EXPECT_FALSE(scope.step([&] { ran.push_back("never"); }));

    EXPECT_EQ(ran, (std::vector<std::string>{"retried", "after skip"}));
    EXPECT_EQ(attempts, 2);
    EXPECT_EQ(answers.asked, 3);
    ASSERT_TRUE(scope.left());
    EXPECT_EQ(scope.error()->number(), kOverflow);
}

TEST(ErrorScope, RetryAndSkipActPerStepInsideLoops) {
    Answers answers{{vbIgnore, vbRetry, vbIgnore}};
    ErrorScope scope(reportAndAsk(answers.reporter()));
    std::vector<int> done;
    std::vector<int> tries(4, 0);
    for (int i = 0; i < 4 && !scope.left(); ++i) {
        scope.step([&] {
            ++tries[i];
            if (i == 1 || (i == 2 && tries[i] == 1) || i == 3) throw RuntimeError::of(kInvalidProcedureCall);
            done.push_back(i);
        });
    }
    // Row 1 skipped, row 2 retried once and done, row 3 skipped.
    EXPECT_EQ(done, (std::vector<int>{0, 2}));
    EXPECT_EQ(tries, (std::vector<int>{1, 1, 2, 1}));
    EXPECT_FALSE(scope.left());
}

TEST(ErrorScope, StartupRuleSkipsInvalidCallsAndLeavesOnAnyOther) {
    ErrorScope scope(startupRule());
    int reached = 0;
    scope.step([] { throw RuntimeError::of(kInvalidProcedureCall); });
    scope.step([&] { ++reached; });
    scope.step([] { throw RuntimeError::of(kOverflow); });
    scope.step([&] { ++reached; });
    EXPECT_EQ(reached, 1);
    EXPECT_TRUE(scope.left());

    ErrorScope quiet(skipEveryError());
    quiet.step([] { throw RuntimeError::of(kOverflow); });
    EXPECT_TRUE(quiet.step([&] { ++reached; }));
    EXPECT_EQ(reached, 2);
}

TEST(ErrorScope, AnyOtherExceptionBecomesARunTimeErrorOfItsHandlersStyle) {
    const struct {
        std::function<void()> raise;
        int number;
        const char* text;
    } cases[] = {
        {[] { (void)std::vector<int>{}.at(3); }, kSubscriptOutOfRange, "vector"},
        {[] { throw std::bad_alloc(); }, kOutOfMemory, "bad_alloc"},
        {[] { throw std::overflow_error("too big"); }, kOverflow, "too big"},
        {[] { throw std::runtime_error("odd"); }, kInternalError, "odd"},
        {[] { throw RuntimeError::of(kTypeMismatch); }, kTypeMismatch, "No coinciden los tipos"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        std::vector<RuntimeError> seen;
        ErrorScope scope(reportAndAsk([&](const RuntimeError& e) {
            seen.push_back(e);
            return int(vbIgnore);
        }));
        bool next = false;
        EXPECT_TRUE(scope.step(c.raise));
        scope.step([&] { next = true; });  // skipped as the answer says, and the procedure goes on
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen.front().number(), c.number);
        EXPECT_TRUE(seen.front().description().contains(QString::fromLatin1(c.text))) << seen.front().what();
        EXPECT_TRUE(next);
    }
}
