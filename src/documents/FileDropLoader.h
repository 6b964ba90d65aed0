#pragma once

#include <QObject>

class Form1;
class RichTextPane;

// Lets files from a file manager be dropped on a source pane, which then loads them as if they
// had been chosen in its open dialog. Other drops (text) are left to the pane.
class FileDropLoader : public QObject
{
public:
    // Owned by the pane.
    FileDropLoader(Form1 &form, RichTextPane &sourcePane);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Form1 &form_;
    RichTextPane &pane_;
};
