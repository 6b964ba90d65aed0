#include "platform/QtMessageBoxes.h"

#include "app/AppTitle.h"

#include <QMessageBox>

namespace {

int show(QWidget *parent, QMessageBox::Icon icon, const QString &text,
         QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, appTitle(), text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return box.exec();
}

} // namespace

void QtMessageBoxes::inform(const QString &text)
{
    show(window_, QMessageBox::NoIcon, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtMessageBoxes::askYesNo(const QString &text)
{
    return show(window_, QMessageBox::NoIcon, text, QMessageBox::Yes | QMessageBox::No,
                QMessageBox::Yes) == QMessageBox::Yes;
}

void QtMessageBoxes::warn(const QString &text)
{
    show(window_, QMessageBox::Warning, text, QMessageBox::Ok, QMessageBox::Ok);
}
