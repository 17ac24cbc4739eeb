#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A program's command line after its name, as the platform holds it: the text and the
// arguments in it, each with its place in the text, so that the suite's keys are read from
// the text itself (quotes and runs of blanks kept) and not from arguments joined again.
namespace platform {

struct CommandLine {
    QString text;
    QStringList arguments;
    QList<qsizetype> starts, ends;  // each argument's place in `text`: [start, end)

    // The text of the arguments `chosen` (indices, ascending): as the line holds it, from the
    // first one's start to the last one's end, where no other argument lies between them;
    // otherwise the chosen arguments' texts joined by single blanks.
    QString textOf(const QList<qsizetype>& chosen) const;
};

// This program's command line (console_text's platform file): POSIX hands a program only its
// arguments, so the text is them joined by single blanks; Windows hands it the text
// (GetCommandLineW), split as its C runtime and CommandLineToArgvW split it.
CommandLine programCommandLine(int argc, char** argv);

// POSIX's: the arguments joined by single blanks.
CommandLine joinedCommandLine(const QStringList& arguments);

// Windows' rules for the arguments after the program's name: blanks (space, tab) outside
// quotes separate arguments; a quote opens or closes a quoted part, and inside one two quotes
// stand for one; 2n backslashes before a quote stand for n and the quote acts, 2n+1 stand for
// n and a quote; other backslashes stand for themselves.
CommandLine splitWindowsCommandLine(const QString& text);

// The text after the program's name in a whole Windows command line: the name runs to the
// next quote when it starts with one, else to the first blank (Windows' own rule for the
// first argument, which knows no backslashes); the blanks after it are skipped.
QString afterProgramName(QStringView whole);

}  // namespace platform
