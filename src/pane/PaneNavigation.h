#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class FindDialog;
class LineNumberDialog;
class QKeyEvent;
class QMenu;
class TextPane;

// Finding one's way in a pane's text: from difference to difference, to a found string, to a
// line. A source pane's differences are its red ranges, found by binary search in the pane's
// sorted ranges; a result pane lists one difference a line. What the user should know of a step
// (a wrap, nothing found) shows for a moment as a tooltip at the caret, and in the find dialog's
// status line.
//
// Keys, taken from the pane before its own: F8 and Alt+Down the next difference, Shift+F8 and
// Alt+Up the previous one, Ctrl+F the find dialog, F3 and Shift+F3 the next and previous match,
// Escape closes the find dialog, Ctrl+G goes to a line.
class PaneNavigation : public QObject
{
    Q_OBJECT

public:
    // Lines of the text kept visible above the target of a step.
    static constexpr int contextLines = 3;

    explicit PaneNavigation(TextPane *pane);
    ~PaneNavigation() override;

    // On for a result pane, where every line is a difference.
    void setListing(bool listing) { listing_ = listing; }
    bool isListing() const { return listing_; }
    // The go-to-line dialog; Qt's own unless set.
    void setLineNumberDialog(LineNumberDialog *dialog) { lineNumbers_ = dialog; }

    // The next (previous) difference: true when the caret moved.
    bool stepDifference(bool forward);
    void openFind();
    // The next (previous) match of the find dialog's text: true when one was selected.
    bool findAgain(bool backwards);
    void goToLine();
    void addMenuEntries(QMenu *menu);

    FindDialog *findDialog() const;
    bool isFinding() const;
    // What the last step told the user; empty when it had nothing to say.
    QString notice() const { return notice_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Command { None, Next, Previous, Find, FindNext, FindPrevious, CloseFind, GoToLine };
    static Command commandOf(const QKeyEvent &key);
    bool run(Command command);
    void show(qsizetype start, qsizetype end);
    void tell(const QString &text);
    // Byte positions of the differences around the caret: the next (previous) one, -1 if none.
    qsizetype nextDifference(qsizetype from, bool forward) const;

    TextPane *pane_;
    bool listing_ = false;
    QPointer<FindDialog> find_;
    LineNumberDialog *lineNumbers_ = nullptr;
    std::unique_ptr<LineNumberDialog> ownLineNumbers_;
    QString notice_;
    // A step that found the last difference behind it waits here for a second press, which wraps.
    qsizetype waitingAt_ = -1;
    bool waitingForward_ = false;
};
