#include "pane/PaneNavigation.h"

#include "pane/FindDialog.h"
#include "pane/PaneSearch.h"
#include "pane/TextPane.h"
#include "platform/QtLineNumberDialog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenu>
#include <QToolTip>
#include <algorithm>

namespace {

// A search of a long text hands the window back to the event loop this often, input aside, so
// that it keeps painting.
constexpr qint64 pauseMilliseconds = 100;
constexpr int noticeMilliseconds = 3000;
// Longest selection the find dialog takes as its text.
constexpr qsizetype longestOffered = 200;

} // namespace

PaneNavigation::PaneNavigation(TextPane *pane) : QObject(pane), pane_(pane)
{
    pane->installEventFilter(this);
}

PaneNavigation::~PaneNavigation() = default;

PaneNavigation::Command PaneNavigation::commandOf(const QKeyEvent &key)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    const bool plain = modifiers == Qt::NoModifier;
    const bool shift = modifiers == Qt::ShiftModifier;
    switch (key.key()) {
    case Qt::Key_F8:
        return plain ? Command::Next : shift ? Command::Previous : Command::None;
    case Qt::Key_Down:
        return modifiers == Qt::AltModifier ? Command::Next : Command::None;
    case Qt::Key_Up:
        return modifiers == Qt::AltModifier ? Command::Previous : Command::None;
    case Qt::Key_F3:
        return plain ? Command::FindNext : shift ? Command::FindPrevious : Command::None;
    case Qt::Key_F:
        return modifiers == Qt::ControlModifier ? Command::Find : Command::None;
    case Qt::Key_G:
        return modifiers == Qt::ControlModifier ? Command::GoToLine : Command::None;
    case Qt::Key_Escape:
        return plain ? Command::CloseFind : Command::None;
    default:
        return Command::None;
    }
}

bool PaneNavigation::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, event);
    const Command command = commandOf(*static_cast<QKeyEvent *>(event));
    if (command == Command::None ||
        (command == Command::CloseFind && !(find_ && find_->isVisible())))
        return QObject::eventFilter(watched, event);
    // The keys are the pane's while it has the focus, before any shortcut of the window.
    event->accept();
    if (event->type() == QEvent::KeyPress)
        run(command);
    return true;
}

bool PaneNavigation::run(Command command)
{
    switch (command) {
    case Command::Next:
    case Command::Previous:
        return stepDifference(command == Command::Next);
    case Command::Find:
        openFind();
        return true;
    case Command::FindNext:
    case Command::FindPrevious:
        return findAgain(command == Command::FindPrevious);
    case Command::CloseFind:
        find_->close();
        return true;
    case Command::GoToLine:
        goToLine();
        return true;
    case Command::None:
        break;
    }
    return false;
}

FindDialog *PaneNavigation::findDialog() const
{
    return find_;
}

bool PaneNavigation::isFinding() const
{
    return find_ && find_->isVisible();
}

void PaneNavigation::addMenuEntries(QMenu *menu)
{
    const bool any = nextDifference(-1, true) >= 0;
    QAction *next =
        menu->addAction(QStringLiteral("Next Difference"), this, [this] { stepDifference(true); });
    next->setShortcut(QKeySequence(Qt::Key_F8));
    next->setEnabled(any);
    QAction *previous = menu->addAction(QStringLiteral("Previous Difference"), this,
                                        [this] { stepDifference(false); });
    previous->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F8));
    previous->setEnabled(any);
}

qsizetype PaneNavigation::nextDifference(qsizetype from, bool forward) const
{
    if (!listing_) {
        const TextRange range =
            forward ? pane_->markedRanges().next(from) : pane_->markedRanges().previous(from);
        return range.length > 0 ? range.start : -1;
    }
    // Every line of a listing counts but the empty one after its last line break.
    const TextStore &store = pane_->store();
    qsizetype lines = store.lineCount();
    if (store.lineStart(lines - 1) == store.size())
        --lines;
    if (lines == 0)
        return -1;
    const qsizetype line = store.lineOfPosition(std::clamp<qsizetype>(from, 0, store.size()));
    if (forward) {
        const qsizetype target = from < 0 ? 0 : line + 1;
        return target < lines ? store.lineStart(target) : -1;
    }
    const qsizetype target = line >= lines                  ? lines - 1
                             : store.lineStart(line) < from ? line
                                                            : line - 1;
    return target >= 0 ? store.lineStart(target) : -1;
}

bool PaneNavigation::stepDifference(bool forward)
{
    const qsizetype caret = pane_->caretPosition();
    const bool secondPress = waitingAt_ == caret && waitingForward_ == forward;
    waitingAt_ = -1;
    qsizetype target = nextDifference(caret, forward);
    if (target < 0) {
        const qsizetype wrapped = nextDifference(forward ? -1 : pane_->store().size() + 1, forward);
        if (wrapped < 0) {
            tell(QStringLiteral("No differences"));
            return false;
        }
        if (!secondPress) {
            waitingAt_ = caret;
            waitingForward_ = forward;
            tell(forward ? QStringLiteral("Last difference: press again for the first")
                         : QStringLiteral("First difference: press again for the last"));
            return false;
        }
        target = wrapped;
        tell(forward ? QStringLiteral("Wrapped to the first difference")
                     : QStringLiteral("Wrapped to the last difference"));
    } else {
        tell(QString());
    }
    show(target, target);
    return true;
}

void PaneNavigation::openFind()
{
    if (!find_) {
        find_ = new FindDialog(pane_);
        connect(find_, &FindDialog::findRequested, this,
                [this](bool backwards) { findAgain(backwards); });
        connect(find_, &QDialog::finished, this, [this] {
            pane_->activateWindow();
            pane_->setFocus(Qt::OtherFocusReason);
            pane_->viewport()->update();
        });
    }
    const qsizetype start = pane_->bytePosition(pane_->selStart());
    const qsizetype end = pane_->bytePosition(pane_->selStart() + pane_->selLength());
    if (start < end && end - start <= longestOffered) {
        const QString selected = pane_->store().text(start, end);
        if (!selected.contains(u'\r'))
            find_->setPattern(selected);
    }
    find_->setStatus(QString());
    find_->show();
    find_->raise();
    find_->activateWindow();
}

bool PaneNavigation::findAgain(bool backwards)
{
    if (!find_ || find_->pattern().isEmpty()) {
        openFind();
        return false;
    }
    const PaneSearch search(find_->pattern(), find_->matchCase(), find_->wholeWords());
    const qsizetype start = pane_->bytePosition(pane_->selStart());
    const qsizetype end = pane_->bytePosition(pane_->selStart() + pane_->selLength());
    QElapsedTimer sincePause;
    sincePause.start();
    const auto pause = [&sincePause] {
        if (sincePause.elapsed() < pauseMilliseconds)
            return;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        sincePause.restart();
    };
    const auto found = search.find(pane_->utf8Text(), backwards ? start : end, backwards, pause);
    if (!found) {
        tell(QStringLiteral("Not found"));
        return false;
    }
    if (found->wrapped)
        tell(backwards ? QStringLiteral("Passed the start: found from the end")
                       : QStringLiteral("Passed the end: found from the start"));
    else
        tell(QString());
    show(found->range.start, found->range.start + found->range.length);
    return true;
}

void PaneNavigation::goToLine()
{
    if (!lineNumbers_) {
        ownLineNumbers_ = std::make_unique<QtLineNumberDialog>();
        lineNumbers_ = ownLineNumbers_.get();
    }
    const TextStore &store = pane_->store();
    const qsizetype last = store.lineCount();
    const auto line =
        lineNumbers_->askLine(pane_, store.lineOfPosition(pane_->caretPosition()) + 1, last);
    if (!line)
        return;
    // A number past the end goes to the last line, as the dialog's own spin box would.
    const qsizetype target = std::clamp<qsizetype>(*line, 1, last) - 1;
    tell(*line > last ? QStringLiteral("Line %1 is the last").arg(last)
         : *line < 1  ? QStringLiteral("Line 1 is the first")
                      : QString());
    show(store.lineStart(target), store.lineStart(target));
}

void PaneNavigation::show(qsizetype start, qsizetype end)
{
    pane_->showRange(start, end, contextLines);
}

void PaneNavigation::tell(const QString &text)
{
    notice_ = text;
    if (find_)
        find_->setStatus(text);
    if (text.isEmpty() || !pane_->isVisible())
        return;
    const QRect caret = pane_->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    QToolTip::showText(pane_->mapToGlobal(caret.bottomLeft()), text, pane_, QRect(),
                       noticeMilliseconds);
}
