#pragma once

#include "platform/FileDialog.h"

#include <QPointer>

class QWidget;

// The file dialog on Qt's own dialog widgets, which honour every flag the program sets on all
// platforms: several files may be chosen, a typed name of a missing file is accepted (the
// load reports it) and saving over an existing file is not questioned here (the save asks).
class QtFileDialog : public FileDialog
{
public:
    void setParentWindow(QWidget *window) { window_ = window; }

    // The Qt name filters for a "|"-separated filter: "Text Files (*.txt)|*.txt" becomes
    // "Text Files (*.txt)", and "*.*" means every file.
    static QStringList nameFilters(const QString &filter);

protected:
    QString chooseToOpen() override;
    QString chooseToSave() override;

private:
    QString choose(bool save);

    QPointer<QWidget> window_;
    // Where the last dialog was left, for a dialog that has no name to start from.
    QString lastDirectory_;
};
