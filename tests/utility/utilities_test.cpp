#include "support/scripted_prompter.h"
#include "utility/utilities.h"
#include "support/expect_runtime_error.h"

#include <gtest/gtest.h>

using platform::RuntimeError;
using utility::Utilities;
using testsupport::expectRuntimeError;

TEST(Utilities, ToCurrencyIsFourDecimalFixedPoint) {
    Utilities u;
    const struct {
        const char* text;
        int64_t scaled;
    } cases[] = {
        {"", 0},          {"   ", 0},          {" 12.5 ", 125000},     {"16776960", 167769600000},
        {"0.00005", 0},   {"0.00015", 2},      {"-3", -30000},         {"&HFFFF00", 167769600000},
        {"1E3", 10000000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(u.ToCurrency(QString::fromLatin1(c.text)).scaled, c.scaled);
    }
    for (const char* bad : {"abc", "12abc", "1,5", "1 2"}) {
        SCOPED_TRACE(bad);
        expectRuntimeError(platform::kTypeMismatch, [&] { u.ToCurrency(QString::fromLatin1(bad)); });
    }
    expectRuntimeError(platform::kOverflow, [&] { u.ToCurrency(QStringLiteral("1e300")); });
}

TEST(Utilities, TextHelpers) {
    Utilities u;
    EXPECT_EQ(u.RemoveChars(QStringLiteral("a=b=c;d"), u'='), QStringLiteral("abc;d"));
    EXPECT_EQ(u.RemoveChars(QStringLiteral("a|b,c;d"), u'|', u',', u';'), QStringLiteral("abcd"));
    EXPECT_EQ(u.ReplaceText(QStringLiteral("|A|B|"), QStringLiteral("|"), QStringLiteral(",")), QStringLiteral(",A,B,"));
    EXPECT_EQ(u.NonNullValue(QVariant()), QString());
    EXPECT_EQ(u.NonNullValue(QVariant(42)), QStringLiteral("42"));
    EXPECT_EQ(u.DisplayText(QStringLiteral("a\r\nb\tc")), QStringLiteral("a  b c"));
    EXPECT_EQ(u.AddPathSeparator(QStringLiteral("/opt/app")), QStringLiteral("/opt/app/"));
    EXPECT_EQ(u.AddPathSeparator(QStringLiteral("/opt/app/")), QStringLiteral("/opt/app/"));
    EXPECT_EQ(u.ToLong(QStringLiteral("2.5")), 2);
    expectRuntimeError(platform::kOverflow, [&] { u.ToLong(QStringLiteral("3000000000")); });
}

TEST(Utilities, ReportErrorAsksAbortRetryIgnoreAndReturnsTheChoice) {
    testsupport::ScriptedPrompter prompter;
    prompter.answer({platform::vbRetry, platform::vbIgnore, platform::vbAbort});
    Utilities u;
    const RuntimeError error(platform::kOverflow, QStringLiteral("Overflow"));
    EXPECT_EQ(u.ReportError(error, {}, QStringLiteral("Cfg")), 4);
    EXPECT_EQ(u.ReportError(error, {}, QStringLiteral("Cfg")), 5);
    EXPECT_EQ(u.ReportError(error, {}, QStringLiteral("Cfg")), 3);
    ASSERT_EQ(prompter.boxes.size(), 3);
    const auto& box = prompter.boxes.front();
    EXPECT_EQ(box.style, platform::vbAbortRetryIgnore | platform::vbCritical);
    EXPECT_TRUE(box.prompt.contains(QStringLiteral("6")));
    EXPECT_TRUE(box.prompt.contains(QStringLiteral("Overflow")));
    EXPECT_TRUE(box.prompt.contains(QStringLiteral("Cfg")));
}

TEST(Utilities, WithoutAWindowReportErrorGivesUp) {
    platform::ConsolePrompter console;
    platform::setPrompter(&console);
    Utilities u;
    testing::internal::CaptureStderr();
    const int answer = u.ReportError(RuntimeError(3704, QStringLiteral("cerrado")), {}, QStringLiteral("FORM_LOAD"));
    const std::string err = testing::internal::GetCapturedStderr();
    platform::setPrompter(nullptr);
    EXPECT_EQ(answer, platform::vbAbort);
    EXPECT_NE(err.find("3704"), std::string::npos);
    EXPECT_NE(err.find("FORM_LOAD"), std::string::npos);
}
