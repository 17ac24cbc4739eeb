// The command line's text and arguments: Windows' splitting rules held against a table and,
// on Windows, against CommandLineToArgvW itself; the keys' text taken from the line as it is.
#include "platform/command_line.h"
#include "support/child_process.h"

#include <gtest/gtest.h>

using platform::CommandLine;

namespace {

struct Linea {
    const char* texto;
    QStringList argumentos;
};

const Linea kLineas[] = {
    {"", {}},
    {"   ", {}},
    {"--batch @Server=a; @DbName=b;", {"--batch", "@Server=a;", "@DbName=b;"}},
    {"  dos\t\tblancos  ", {"dos", "blancos"}},
    {R"(@DbName="C:\Mis datos\base.sqlite"; @Password=x)", {R"(@DbName=C:\Mis datos\base.sqlite;)", "@Password=x"}},
    {R"("@Password=a  b")", {"@Password=a  b"}},
    {R"(a\\b c\d)", {R"(a\\b)", R"(c\d)"}},
    {R"(a\"b)", {R"(a"b)"}},
    {R"(a\\"b c")", {R"(a\b c)"}},
    {R"(a\\\"b)", {R"(a\"b)"}},
    {R"("abierta hasta el final)", {"abierta hasta el final"}},
    {R"("" "")", {"", ""}},
    {"ñandú €", {"ñandú", "€"}},
};

}  // namespace

TEST(CommandLine, WindowsLinesSplitAsTheCRuntimeSplitsThem) {
    for (const Linea& l : kLineas) {
        const QString texto = QString::fromUtf8(l.texto);
        SCOPED_TRACE(l.texto);
        const CommandLine line = platform::splitWindowsCommandLine(texto);
        EXPECT_EQ(line.arguments, l.argumentos);
        if (const std::optional<QStringList> propios = testsupport::platformArgumentsOf(texto)) {
            EXPECT_EQ(line.arguments, *propios);
        }
        ASSERT_EQ(line.starts.size(), line.arguments.size());
        for (qsizetype i = 0; i < line.starts.size(); ++i) {
            // Each argument's place holds its text, and no blank outside quotes.
            EXPECT_EQ(platform::splitWindowsCommandLine(texto.mid(line.starts[i], line.ends[i] - line.starts[i])).arguments,
                      QStringList{line.arguments[i]});
        }
    }
}

TEST(CommandLine, TheProgramsNameEndsAtItsQuoteOrTheFirstBlank) {
    EXPECT_EQ(platform::afterProgramName(u"stockfix.exe --batch  @Server=a;"), QStringLiteral("--batch  @Server=a;"));
    EXPECT_EQ(platform::afterProgramName(uR"("C:\Program Files\stockfix\stockfix.exe"  @Server=a;)"), QStringLiteral("@Server=a;"));
    EXPECT_EQ(platform::afterProgramName(uR"("C:\a b\x.exe"@Server=a;)"), QStringLiteral("@Server=a;"));
    EXPECT_EQ(platform::afterProgramName(u"stockfix.exe"), QString());
    EXPECT_EQ(platform::afterProgramName(uR"("sin cierre)"), QString());
}

TEST(CommandLine, TheKeysTextIsTheLinesOwnWhereTheKeysFollowOneAnother) {
    const CommandLine windows =
        platform::splitWindowsCommandLine(QStringLiteral(R"(--batch @Server=a;  @Password="x  y"; --journal d.sql @Menu=m)"));
    EXPECT_EQ(windows.textOf({1, 2}), QStringLiteral(R"(@Server=a;  @Password="x  y";)"));
    EXPECT_EQ(windows.textOf({1, 2, 5}), QStringLiteral(R"(@Server=a; @Password="x  y"; @Menu=m)"));
    EXPECT_EQ(windows.textOf({}), QString());
    const CommandLine posix = platform::joinedCommandLine({"--batch", "@Server=a;", "@DbName=b c;"});
    EXPECT_EQ(posix.text, QStringLiteral("--batch @Server=a; @DbName=b c;"));
    EXPECT_EQ(posix.textOf({1, 2}), QStringLiteral("@Server=a; @DbName=b c;"));
    EXPECT_EQ(platform::joinedCommandLine({"", "x"}).textOf({0, 1}), QStringLiteral(" x"));
}
