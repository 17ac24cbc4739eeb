#include "platform/runtime_error.h"
#include "platform/text_rules.h"
#include "support/expect_runtime_error.h"

#include <gtest/gtest.h>

using namespace platform;
using testsupport::expectRuntimeError;

TEST(Trim, RemovesBlanksOnlyNotOtherWhiteSpace) {
    const struct {
        const char* in;
        const char* trimmed;
        const char* left;
        const char* right;
    } cases[] = {
        {"  a b  ", "a b", "a b  ", "  a b"},
        {"\ta\t", "\ta\t", "\ta\t", "\ta\t"},
        {" \t a \n ", "\t a \n", "\t a \n ", " \t a \n"},
        {"   ", "", "", ""},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(Trim(QString::fromLatin1(c.in)), QString::fromLatin1(c.trimmed));
        EXPECT_EQ(LTrim(QString::fromLatin1(c.in)), QString::fromLatin1(c.left));
        EXPECT_EQ(RTrim(QString::fromLatin1(c.in)), QString::fromLatin1(c.right));
    }
}

TEST(Val, ReadsTheLeadingNumberWithAPeriodWhateverTheLocale) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"12abc", 12},     {"  1 2 3", 123},   {"\t+3", 3},       {"2,50", 2},       {"2.50", 2.5},
        {"-1.5e2", -150},  {"1D2", 100},       {"1e", 1},         {"1.2.3", 1.2},    {".5", 0.5},
        {"abc", 0},        {"", 0},            {"-", 0},          {"&HFF", 255},     {"&o17", 15},
        {"0.######", 0},   {"1\n0", 10},       {"3e-1x", 0.3},    {" - 4", -4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_DOUBLE_EQ(Val(QString::fromLatin1(c.text)), c.value);
    }
}

TEST(Numbers, RoundHalvesToEvenAndCheckTheIntegerRanges) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(CInt(32767.4), 32767);
    EXPECT_EQ(CLng(-2147483648.0), INT32_MIN);

    expectRuntimeError(kOverflow, [] { CInt(32767.5); });
    expectRuntimeError(kOverflow, [] { CInt(-32768.6); });
    expectRuntimeError(kOverflow, [] { CLng(2147483647.5); });
    expectRuntimeError(kOverflow, [] { CheckedInt16(32768); });
    EXPECT_EQ(CheckedInt16(-32768), -32768);
}

TEST(InStrNoCase, FindsIgnoringCaseFromAOneBasedStart) {
    const QString text = QStringLiteral("@server=x;@SERVER=y;");
    EXPECT_EQ(InStrNoCase(1, text, QStringLiteral("@Server")), 1);
    EXPECT_EQ(InStrNoCase(2, text, QStringLiteral("@Server")), 11);
    EXPECT_EQ(InStrNoCase(1, text, QStringLiteral("@Usuario")), 0);
    EXPECT_EQ(InStrNoCase(99, text, QStringLiteral(";")), 0);
    expectRuntimeError(kInvalidProcedureCall, [&] { InStrNoCase(0, text, QStringLiteral(";")); });
    EXPECT_TRUE(EqualsNoCase(QStringLiteral("Si"), QStringLiteral("sI")));
}
