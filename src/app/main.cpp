#include "app/AppIcon.h"
#include "app/AppTitle.h"
#include "app/CommandLine.h"
#include "app/HugePageHeap.h"
#include "app/MainWindow.h"
#include "app/Services.h"
#include "app/StartUpFiles.h"
#include "platform/IniSettingsStore.h"
#include "platform/QtFileDialog.h"
#include "platform/QtMessageBoxes.h"
#include "platform/StyleSheetSkinFramework.h"
#include "wordprocessor/SystemAutomation.h"

#include <QApplication>

#include <csignal>

int main(int argc, char *argv[])
{
    // Help, version and usage errors need no display, so they are answered before QApplication
    // connects to one. A command line with Qt's own options (-platform, -style, -session ...) is
    // read once QApplication has taken them out, unless it asks for help or the version.
    const QStringList arguments = argumentsOf(argc, argv);
    if (const CommandLine early = readCommandLine(arguments);
        early.action == CommandLine::Action::Print &&
        (early.exitStatus == 0 || !holdsQtOptions(arguments)))
        return printCommandLine(early);

#ifdef SIGPIPE
    // A write to a word processor that is just ending must fail with an error the caller
    // reports, not end this process.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    useHugePageHeap(argv);
    QApplication application(argc, argv);
    const CommandLine commandLine = readCommandLine(QCoreApplication::arguments());
    if (commandLine.action == CommandLine::Action::Print)
        return printCommandLine(commandLine);
    QApplication::setWindowIcon(appIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("parvenex"));

    IniSettingsStore settings(IniSettingsStore::userFolder());
    QtMessageBoxes messages(appTitle());
    StyleSheetSkinFramework skin;
    const std::unique_ptr<AutomationRegistry> automation = createSystemAutomation();
    QtFileDialog fileDialog;
    // The folder of the executable itself, symbolic links resolved, so that an installed
    // program finds its companion files beside it rather than beside the link in bin/.
    Services services{settings,    messages,  skin, QCoreApplication::applicationDirPath(),
                      *automation, fileDialog};

    MainWindow window(services);
    messages.setParentWindow(&window);
    fileDialog.setParentWindow(&window);
    window.show();
    loadStartUpFiles(window, commandLine.files);
    return application.exec();
}
