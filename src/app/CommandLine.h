#pragma once

#include <QString>
#include <QStringList>

// What the command line asks of the program: to start, loading up to two files into text #1
// and text #2 as a drop on their panes would, or to print a text and exit.
struct CommandLine
{
    enum class Action { Start, Print };

    Action action = Action::Start;
    // Absolute paths, text #1's first.
    QStringList files;
    // Goes to standard output when the exit status is 0, to standard error otherwise.
    QString text;
    int exitStatus = 0;
};

// The arguments as QCoreApplication::arguments() gives them, the program first. Relative paths
// are taken relative to the current folder. More than two files are refused like an unknown
// option: with the usage and exit status 2.
CommandLine readCommandLine(const QStringList &arguments);

// The arguments of main(), before QApplication has taken out its own options.
QStringList argumentsOf(int argc, char *argv[]);

// Whether an argument names one of the options that QApplication or its platform take out of the
// arguments (-platform, -style, -display ...). Until they have, a command line that holds one
// cannot be read for sure; one that holds none reads the same before and after.
bool holdsQtOptions(const QStringList &arguments);

// Prints the command line's text where it belongs and returns its exit status.
int printCommandLine(const CommandLine &commandLine);
