#pragma once

#include "platform/MessageBoxes.h"

#include <QPointer>

class QWidget;

class QtMessageBoxes : public MessageBoxes
{
public:
    void setParentWindow(QWidget *window) { window_ = window; }

    void inform(const QString &text) override;
    bool askYesNo(const QString &text) override;
    void warn(const QString &text) override;

private:
    QPointer<QWidget> window_;
};
