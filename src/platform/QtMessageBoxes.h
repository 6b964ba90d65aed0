#pragma once

#include "platform/MessageBoxes.h"

#include <QMessageBox>
#include <QPointer>

// Message boxes of Qt's own, all carrying the same title.
class QtMessageBoxes : public MessageBoxes
{
public:
    explicit QtMessageBoxes(QString title) : title_(std::move(title)) {}

    void setParentWindow(QWidget *window) { window_ = window; }

    void inform(const QString &text) override;
    bool askYesNo(const QString &text) override;
    void warn(const QString &text) override;

private:
    int show(QMessageBox::Icon icon, const QString &text, QMessageBox::StandardButtons buttons,
             QMessageBox::StandardButton defaultButton);

    QString title_;
    QPointer<QWidget> window_;
};
