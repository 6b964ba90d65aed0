#include "app/ApplySkin.h"

#include "app/Services.h"
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

struct Background
{
    QWidget *widget;
    QColor colour;
    bool filled;
};

// Radio buttons and check boxes fill with their button colour, the others with the window
// colour: each control is given the colour of the role it fills with.
void setBackground(QWidget &widget, const QColor &colour, bool filled)
{
    QPalette palette = widget.palette();
    palette.setColor(widget.backgroundRole(), colour);
    widget.setPalette(palette);
    widget.setAutoFillBackground(filled);
}

} // namespace

void applySkin(QWidget &window, const Services &services)
{
    const QString skinFile = services.programFolder + QStringLiteral("/x/o.cjs");
    if (!ordinaryFileExists(skinFile))
        return;

    QList<Background> before;
    const auto remember = [&before](QWidget *widget) {
        before.append({widget, widget->palette().color(widget->backgroundRole()),
                       widget->autoFillBackground()});
    };
    remember(&window);
    for (QWidget *control : window.findChildren<QWidget *>()) {
        if (takesButtonFace(control))
            remember(control);
    }
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    for (const Background &background : before)
        setBackground(*background.widget, buttonFace, true);

    SkinFramework &skin = services.skin;
    if (!skin.loadSkin(skinFile, QString())) {
        // The file is ignored as a whole, so the window looks as it does without one.
        for (const Background &background : before)
            setBackground(*background.widget, background.colour, background.filled);
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
