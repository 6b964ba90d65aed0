#include "app/AppTitle.h"
#include "app/HugePageHeap.h"
#include "app/MainWindow.h"
#include "app/Services.h"
#include "platform/IniSettingsStore.h"
#include "platform/QtFileDialog.h"
#include "platform/QtMessageBoxes.h"
#include "platform/StyleSheetSkinFramework.h"
#include "wordprocessor/SystemAutomation.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    useHugePageHeap(argv);
    QApplication application(argc, argv);

    IniSettingsStore settings(IniSettingsStore::userFolder());
    QtMessageBoxes messages(appTitle());
    StyleSheetSkinFramework skin;
    const std::unique_ptr<AutomationRegistry> automation = createSystemAutomation();
    QtFileDialog fileDialog;
    Services services{settings,    messages,  skin, QCoreApplication::applicationDirPath(),
                      *automation, fileDialog};

    MainWindow window(services);
    messages.setParentWindow(&window);
    fileDialog.setParentWindow(&window);
    window.show();
    return application.exec();
}
