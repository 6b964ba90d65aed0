#include "app/CommandLine.h"

#include "app/Version.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace Qt::StringLiterals;

namespace {

constexpr int usageStatus = 2;

CommandLine print(const QString &text, int exitStatus)
{
    return {CommandLine::Action::Print, {}, text, exitStatus};
}

// The parser names the program after argv[0], or a placeholder while no QApplication exists;
// the usage names the command the package installs, however the program was started.
QString help(const QCommandLineParser &parser)
{
    return QStringLiteral("Usage: parvenex [options] [file1 [file2]]\n") +
           parser.helpText().section(QLatin1Char('\n'), 1);
}

CommandLine usageError(const QCommandLineParser &parser, const QString &error)
{
    return print(QStringLiteral("parvenex: %1\n\n").arg(error) + help(parser), usageStatus);
}

} // namespace

CommandLine readCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Shows the differences between two plain-text files."));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Shows this help and exits."));
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Shows the version and exits."));
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    parser.addPositionalArgument(QStringLiteral("file1"),
                                 QStringLiteral("The file to load into text #1 at start-up."));
    parser.addPositionalArgument(QStringLiteral("file2"),
                                 QStringLiteral("The file to load into text #2 at start-up."));

    if (!parser.parse(arguments))
        return usageError(parser, parser.errorText());
    if (parser.isSet(helpOption))
        return print(help(parser), 0);
    if (parser.isSet(versionOption))
        return print(QStringLiteral("parvenex " PARVENEX_VERSION "\n"), 0);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 2)
        return usageError(parser, QStringLiteral("At most two files: one for text #1, one for "
                                                 "text #2."));
    CommandLine start;
    for (const QString &file : files)
        start.files.append(QFileInfo(file).absoluteFilePath());
    return start;
}

bool holdsQtOptions(const QStringList &arguments)
{
    // Those of QGuiApplication, QApplication and the X11 platform, which take them with one dash
    // or two, some also with "=value".
    static const QStringList names =
        u"platform platformpluginpath platformtheme plugin qwindowgeometry geometry qwindowtitle "
        u"title qwindowicon icon reverse session testability style stylesheet widgetcount "
        u"qmljsdebugger display name nograb dograb visual"_s.split(u' ');
    for (const QString &argument : arguments.mid(1)) {
        if (!argument.startsWith(u'-'))
            continue;
        const QString name = argument.mid(argument.startsWith(u"--"_s) ? 2 : 1).section(u'=', 0, 0);
        if (names.contains(name))
            return true;
    }
    return false;
}

QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

int printCommandLine(const CommandLine &commandLine)
{
    const bool normal = commandLine.exitStatus == 0;
    FILE *stream = normal ? stdout : stderr;
#ifdef Q_OS_WIN
    // A window program has no console of its own. Started from a command prompt, it writes to
    // the prompt's console; output redirected to a file or a pipe is used as it is.
    const HANDLE handle = GetStdHandle(normal ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    if ((!handle || GetFileType(handle) == FILE_TYPE_UNKNOWN) &&
        AttachConsole(ATTACH_PARENT_PROCESS))
        stream = std::freopen("CONOUT$", "w", stream);
    if (!stream)
        return commandLine.exitStatus;
#endif
    std::fputs(commandLine.text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
    return commandLine.exitStatus;
}
