#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

// The small window that finds text in a pane: the text, whether case and whole words matter,
// and a line that tells how the last search went. Enter and F3 find the next match, Shift with
// either the previous one, Escape closes it.
class FindDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FindDialog(QWidget *parent);

    QString pattern() const;
    void setPattern(const QString &pattern);
    bool matchCase() const;
    void setMatchCase(bool on);
    bool wholeWords() const;
    void setWholeWords(bool on);
    QString status() const;
    void setStatus(const QString &status);

Q_SIGNALS:
    void findRequested(bool backwards);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLineEdit *pattern_;
    QCheckBox *matchCase_;
    QCheckBox *wholeWords_;
    QLabel *status_;
};
