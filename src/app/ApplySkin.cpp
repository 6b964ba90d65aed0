#include "app/ApplySkin.h"

#include "app/Services.h"
#include "app/TextColours.h"
#include "platform/MessageBoxes.h"
#include "platform/OrdinaryFile.h"
#include "platform/SkinFramework.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QList>
#include <QRadioButton>

namespace {

bool takesButtonFace(const QWidget *control)
{
    return qobject_cast<const QRadioButton *>(control) ||
           qobject_cast<const QCheckBox *>(control) || qobject_cast<const QGroupBox *>(control) ||
           qobject_cast<const QLabel *>(control);
}

struct Look
{
    QWidget *widget;
    QPalette palette;
    bool filled;
};

// Radio buttons and check boxes fill with their button colour, the others with the window
// colour: each control is given the colour of the role it fills with. On the system's button
// face a control's text takes the system's button text, the colour made to read on it; the
// window has none, and would hand it on to the panes.
void takeButtonFace(QWidget &widget)
{
    const QPalette system = QApplication::palette();
    QPalette palette = widget.palette();
    palette.setColor(widget.backgroundRole(), system.color(QPalette::Button));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
    if (takesButtonFace(&widget))
        setTextOn(widget, system.color(QPalette::Button), system.color(QPalette::ButtonText));
}

} // namespace

void applySkin(QWidget &window, const Services &services)
{
    const QString skinFile = services.programFolder + QStringLiteral("/x/o.cjs");
    if (!ordinaryFileExists(skinFile))
        return;

    QList<Look> before;
    const auto remember = [&before](QWidget *widget) {
        before.append({widget, widget->palette(), widget->autoFillBackground()});
    };
    remember(&window);
    for (QWidget *control : window.findChildren<QWidget *>()) {
        if (takesButtonFace(control))
            remember(control);
    }
    for (const Look &look : before)
        takeButtonFace(*look.widget);

    SkinFramework &skin = services.skin;
    if (!skin.loadSkin(skinFile, QString())) {
        // The file is ignored as a whole, so the window looks as it does without one.
        for (const Look &look : before) {
            look.widget->setPalette(look.palette);
            look.widget->setAutoFillBackground(look.filled);
        }
        services.messages.warn(QStringLiteral("The skin file \"%1\" was ignored because %2.\n\n"
                                              "Parvenex starts with its usual look.")
                                   .arg(QDir::toNativeSeparators(skinFile), skin.lastError()));
        return;
    }
    skin.setApplyOptions(skin.applyOptions() | SkinFramework::applyStyleSheet);
    skin.setKeepFonts(true);
    skin.setKeepSizes(true);
    skin.applyWindow(window);
}
