// The README's lookup examples, run as written on the database the demo script writes,
// print what the README shows; the examples of --help survive a POSIX shell.
#include "programs_fixture.h"

#include <QRegularExpression>

using testsupport::linesOf;
using testsupport::Outcome;

namespace {

struct Block {
    QString language;
    QStringList lines;
};

// The fenced blocks of the README section that starts with `heading`.
QList<Block> blocksOfSection(const QString& heading) {
    QFile file(QStringLiteral(STOCKFIX_README));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    QList<Block> blocks;
    bool inSection = false, inBlock = false;
    for (const QString& line : lines) {
        if (line.startsWith(QStringLiteral("## "))) inSection = line == heading;
        if (!inSection) continue;
        if (line.startsWith(QStringLiteral("```"))) {
            inBlock = !inBlock;
            if (inBlock) blocks.append({line.mid(3).trimmed(), {}});
            continue;
        }
        if (inBlock) blocks.back().lines << line;
    }
    return blocks;
}

// A block's commands, a line ending in "\" joined with the next.
QStringList commandsOf(const Block& block) {
    QStringList commands;
    QString pending;
    for (const QString& line : block.lines) {
        pending += line;
        if (pending.endsWith(u'\\')) {
            pending.chop(1);
            continue;
        }
        QString command = pending.trimmed();
        pending.clear();
        // A comment after the command is the reader's, not the shell's concern here.
        static const QRegularExpression comment(QStringLiteral(R"(\s+#\s.*$)"));
        command.remove(comment);
        if (!command.isEmpty() && !command.startsWith(u'#')) commands << command;
    }
    return commands;
}

Outcome shell(const QString& command, const QString& workDir, const QMap<QString, QString>& env) {
    return testsupport::runProgram(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command}, env, {}, workDir);
}

class ReadmeExamples : public testsupport::ProgramsTest {};

}  // namespace

TEST_F(ReadmeExamples, LookupExamplesPrintWhatTheReadmeShows) {
    // The README's folder layout: build/ with the programs, the commands run from above it.
    QDir root(dir.filePath(QStringLiteral("root")));
    ASSERT_TRUE(root.mkpath(QStringLiteral("build")));
    ASSERT_TRUE(QFile::copy(lookupDemo, root.filePath(QStringLiteral("build/lookup-demo"))));
    ASSERT_TRUE(QFile::copy(QStringLiteral(DEMO_DB_BINARY), root.filePath(QStringLiteral("build/stockfix-demo-db"))));
    const QList<Block> blocks = blocksOfSection(QStringLiteral("## The lookup demo"));
    const auto env = environment(true);

    int run = 0;
    bool databaseWritten = false;
    for (qsizetype b = 0; b < blocks.size(); ++b) {
        if (blocks[b].language != u"sh") continue;
        for (const QString& command : commandsOf(blocks[b])) {
            SCOPED_TRACE(command.toStdString());
            if (command.startsWith(QStringLiteral("build/stockfix-demo-db"))) {
                const Outcome o = shell(command, root.path(), env);
                ASSERT_EQ(o.status, 0) << o.err.toStdString();
                databaseWritten = true;
                continue;
            }
            // Only the examples a script can run; the others wait for a person.
            if (!command.startsWith(QStringLiteral("./lookup-demo")) || !command.contains(QStringLiteral("--aceptar")))
                continue;
            ASSERT_TRUE(databaseWritten) << "the README writes the database first";
            ASSERT_LT(b + 1, blocks.size()) << "an example without its output";
            const Block& shown = blocks[b + 1];
            ASSERT_TRUE(shown.language == u"json" || shown.language == u"text") << shown.language.toStdString();
            const Outcome o = shell(command, root.filePath(QStringLiteral("build")), env);
            QStringList expected = shown.lines;
            while (!expected.isEmpty() && expected.back().isEmpty()) expected.removeLast();
            EXPECT_EQ(linesOf(o.out), expected) << o.err.toStdString();
            ++run;
        }
    }
    EXPECT_GE(run, 3);
}

TEST_F(ReadmeExamples, HelpExamplesReachTheProgramAsOneArgumentOfKeys) {
    for (const QString& binary : {QStringLiteral(STOCKFIX_BINARY), lookupDemo}) {
        const QString name = QFileInfo(binary).fileName();
        const Outcome help = testsupport::runProgram(binary, {QStringLiteral("--help")});
        ASSERT_EQ(help.status, 0);
        Block examples;
        bool inExamples = false;
        for (const QString& line : help.out.split(u'\n')) {
            if (line.startsWith(QStringLiteral("Ejemplo"))) inExamples = true;
            else if (inExamples && line.trimmed().isEmpty()) inExamples = false;
            else if (inExamples) examples.lines << line;
        }
        const QStringList commands = commandsOf(examples);
        ASSERT_FALSE(commands.isEmpty()) << name.toStdString();
        for (const QString& command : commands) {
            SCOPED_TRACE(command.toStdString());
            ASSERT_TRUE(command.startsWith(name + u' '));
            // The program replaced by one that shows each argument it gets between brackets.
            const Outcome o = shell(QStringLiteral("printf '[%s]\\n'") + command.mid(name.size()), dir.path(), {});
            EXPECT_EQ(o.status, 0) << o.err.toStdString();
            const QStringList keys = linesOf(o.out).filter(QStringLiteral("@Server="));
            ASSERT_EQ(keys.size(), 1) << o.out.toStdString();
            EXPECT_TRUE(keys.front().contains(QStringLiteral("@DbName="))) << o.out.toStdString();
            EXPECT_TRUE(keys.front().endsWith(QStringLiteral(";]"))) << o.out.toStdString();
        }
    }
}
