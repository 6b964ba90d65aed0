#include "app/Form1.h"
#include "app/Services.h"
#include "platform/IniSettingsStore.h"
#include "platform/QtCommonDialog.h"
#include "platform/QtMessageBoxes.h"
#include "platform/StyleSheetSkinFramework.h"
#include "platform/SystemWordAutomation.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);

    IniSettingsStore settings(IniSettingsStore::userFolder());
    QtMessageBoxes messages;
    StyleSheetSkinFramework skin;
    const std::unique_ptr<AutomationRegistry> wordAutomation = createSystemWordAutomation();
    QtCommonDialog fileDialog;
    Services services{settings,        messages,  skin, QCoreApplication::applicationDirPath(),
                      *wordAutomation, fileDialog};

    Form1 window(services);
    messages.setParentWindow(&window);
    fileDialog.setParentWindow(&window);
    window.show();
    return application.exec();
}
