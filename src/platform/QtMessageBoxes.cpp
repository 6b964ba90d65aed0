#include "platform/QtMessageBoxes.h"

int QtMessageBoxes::show(QMessageBox::Icon icon, const QString &text,
                         QMessageBox::StandardButtons buttons,
                         QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, title_, text, buttons, window_);
    box.setDefaultButton(defaultButton);
    return box.exec();
}

void QtMessageBoxes::inform(const QString &text)
{
    show(QMessageBox::NoIcon, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtMessageBoxes::askYesNo(const QString &text)
{
    return show(QMessageBox::NoIcon, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

void QtMessageBoxes::warn(const QString &text)
{
    show(QMessageBox::Warning, text, QMessageBox::Ok, QMessageBox::Ok);
}
