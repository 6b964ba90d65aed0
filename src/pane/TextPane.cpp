#include "pane/TextPane.h"
#include "pane/MarkColour.h"

#include "pane/PaneAccessible.h"
#include "pane/PaneNavigation.h"
#include "pane/Twips.h"
#include "pane/Utf8Text.h"

#include <QAccessible>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <algorithm>
#include <cmath>

namespace {

const QColor unmarked{0, 0, 0};
// Space left between the text and the pane's edges, as a plain text box leaves.
constexpr int textPadding = 4;
// Pixels a horizontal scroll-bar step moves, and the auto-scroll's pace while a drag selects
// past the pane's edge.
constexpr int horizontalStep = 20;
constexpr int autoScrollMilliseconds = 50;

bool isPlacement(float value)
{
    return std::isfinite(value) && std::fabs(value) <= float(QWIDGETSIZE_MAX);
}

bool isExtent(float value)
{
    return isPlacement(value) && value >= 0;
}

QByteArray crLfUtf8(const QString &text)
{
    return Utf8Text::toCrLf(text.toUtf8()).bytes;
}

// Typed text, not a control key that happens to carry a character.
bool isTypedText(const QKeyEvent &event)
{
    const QString text = event.text();
    // Ctrl or Alt alone make a shortcut or a mnemonic; both together are AltGr on Windows.
    const auto modifiers = event.modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    if (text.isEmpty() || event.modifiers() & Qt::MetaModifier ||
        modifiers == Qt::ControlModifier || modifiers == Qt::AltModifier)
        return false;
    return std::none_of(text.begin(), text.end(),
                        [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c == u'_' || c.isSurrogate();
}

} // namespace

TextPane::TextPane(QWidget *parent) : QAbstractScrollArea(parent), layouts_(store_, marks_)
{
    PaneAccessible::install();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setMouseTracking(true);
    verticalScrollBar()->setSingleStep(1);
    applyFont();
    navigation_ = new PaneNavigation(this);
}

TextPane::~TextPane() = default;

QString TextPane::text() const
{
    const QByteArrayView bytes = store_.bytes();
    return QString::fromUtf8(bytes.data(), bytes.size());
}

void TextPane::setText(const QString &text)
{
    setUtf8Text(text.toUtf8());
}

QByteArrayView TextPane::utf8Text() const
{
    return store_.bytes();
}

QByteArray TextPane::utf8Bytes() const
{
    return store_.sharedBytes();
}

void TextPane::setUtf8Text(QByteArray bytes)
{
    Utf8Text::CrLfText crLf = Utf8Text::toCrLf(std::move(bytes));
    preedit_.clear();
    store_.setText(std::move(crLf.bytes));
    // New text never takes the colour of the text it replaces.
    marks_.clear();
    layouts_.clear();
    forgetHistory();
    anchor_ = caret_ = 0;
    column_.reset();
    longestLine_ = crLf.longestLine;
    widest_ = layouts_.lineWidth(longestLine_);
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    restartBlink();
    viewport()->update();
    if (QAccessible::isActive()) {
        // The reader asks for what it needs rather than being sent a whole text.
        QAccessibleTextUpdateEvent update(this, 0, QString(), QString());
        QAccessible::updateAccessibility(&update);
    }
}

qsizetype TextPane::textLength() const
{
    return store_.utf16Size();
}

qsizetype TextPane::bytePosition(qsizetype index) const
{
    return store_.positionOfIndex(index);
}

qsizetype TextPane::indexOfBytePosition(qsizetype position) const
{
    return store_.indexOfPosition(position);
}

qsizetype TextPane::selStart() const
{
    return indexOfBytePosition(selectionStart());
}

void TextPane::setSelStart(qsizetype index)
{
    const qsizetype position = bytePosition(index);
    selectBytes(position, position);
}

qsizetype TextPane::selLength() const
{
    return indexOfBytePosition(selectionEnd()) - indexOfBytePosition(selectionStart());
}

void TextPane::setSelLength(qsizetype length)
{
    const qsizetype start = selectionStart();
    selectBytes(start, bytePosition(indexOfBytePosition(start) + std::max<qsizetype>(length, 0)));
}

// Code selects without handing the text to the X11 primary selection: a comparison selects whole
// texts of many megabytes, and it would replace what the user last selected for a middle-click
// paste.
void TextPane::selectBytes(qsizetype start, qsizetype end)
{
    setSelection(snapped(start), snapped(end));
    ensureCaretVisible();
}

qsizetype TextPane::snapped(qsizetype position) const
{
    return store_.positionOfIndex(store_.indexOfPosition(position));
}

void TextPane::setSelColor(const QColor &colour)
{
    if (anchor_ == caret_)
        return;
    if (isMarking(colour))
        marks_.mark(selectionStart(), selectionEnd());
    else
        marks_.unmark(selectionStart(), selectionEnd());
    colouringChanged();
}

void TextPane::colorByteRanges(const TextRange *begin, const TextRange *end, const QColor &colour)
{
    const QByteArrayView text = store_.bytes();
    // A byte range, like an index range, takes a whole line break when it ends between CR and LF,
    // and one starting there begins on the next line.
    const auto outsideCrLf = [&text](qsizetype position) {
        position = std::clamp<qsizetype>(position, 0, text.size());
        const bool betweenCrLf = position > 0 && position < text.size() &&
                                 text[position - 1] == '\r' && text[position] == '\n';
        return position + betweenCrLf;
    };
    QList<TextRange> ranges;
    ranges.reserve(end - begin);
    for (const TextRange *range = begin; range != end; ++range) {
        if (range->length <= 0)
            continue;
        const qsizetype start = outsideCrLf(range->start);
        const qsizetype stop = outsideCrLf(range->start + range->length);
        if (stop > start)
            ranges.append({start, stop - start});
    }
    // Ascending and apart, as the comparisons find them, they are marked in one pass.
    const bool sorted = std::adjacent_find(ranges.begin(), ranges.end(),
                                           [](const TextRange &a, const TextRange &b) {
                                               return a.start + a.length > b.start;
                                           }) == ranges.end();
    if (isMarking(colour) && sorted) {
        marks_.markSorted(ranges.constData(), ranges.constData() + ranges.size());
    } else {
        for (const TextRange &range : std::as_const(ranges)) {
            if (isMarking(colour))
                marks_.mark(range.start, range.start + range.length);
            else
                marks_.unmark(range.start, range.start + range.length);
        }
    }
    colouringChanged();
}

QColor TextPane::colorAt(qsizetype index) const
{
    // The last byte of the character at index; both bytes of a CR LF carry the same colour.
    const qsizetype position = bytePosition(index + 1) - 1;
    if (position < 0 || position >= store_.size())
        return unmarked;
    return marks_.contains(position) ? markColour : unmarked;
}

// Only red and black are ever used: any colour but black marks.
bool TextPane::isMarking(const QColor &colour) const
{
    return colour != unmarked;
}

void TextPane::colouringChanged()
{
    layouts_.clearLayouts();
    forgetHistory();
    viewport()->update();
}

void TextPane::forgetHistory()
{
    history_.clear();
}

// Editing

void TextPane::edit(qsizetype start, qsizetype end, const QByteArray &crlfUtf8, bool typing)
{
    if (start == end && crlfUtf8.isEmpty())
        return;
    history_.record({start, store_.slice(start, end), crlfUtf8, anchor_, caret_, typing});
    applyEdit(start, end, crlfUtf8);
    const qsizetype caret = start + crlfUtf8.size();
    setSelection(caret, caret);
    ensureCaretVisible();
}

void TextPane::applyEdit(qsizetype start, qsizetype end, const QByteArray &crlfUtf8)
{
    const bool accessible = QAccessible::isActive();
    const qsizetype index = accessible ? store_.indexOfPosition(start) : 0;
    const QString removed = accessible ? store_.text(start, end) : QString();
    const qsizetype line = store_.lineOfPosition(start);
    const bool breaks = crlfUtf8.contains('\n') || store_.lineOfPosition(end) != line;
    store_.replace(start, end, crlfUtf8);
    marks_.replaced(start, end, crlfUtf8.size());
    if (breaks) {
        layouts_.clear();
        updateScrollBars();
    } else {
        layouts_.lineChanged(line, start);
        if (store_.lineEnd(line) - store_.lineStart(line) >
            store_.lineEnd(longestLine_) - store_.lineStart(longestLine_))
            longestLine_ = line;
    }
    if (longestLine_ >= store_.lineCount())
        longestLine_ = 0;
    viewport()->update();
    if (accessible) {
        const QString inserted = QString::fromUtf8(crlfUtf8);
        QAccessibleTextUpdateEvent update(this, int(index), removed, inserted);
        QAccessible::updateAccessibility(&update);
    }
}

void TextPane::insertTyped(const QString &text, bool typing)
{
    edit(selectionStart(), selectionEnd(), crLfUtf8(text), typing);
}

void TextPane::deleteSelection()
{
    edit(selectionStart(), selectionEnd(), QByteArray());
}

void TextPane::undo()
{
    const std::optional<UndoHistory::Step> step = history_.undo();
    if (!step)
        return;
    applyEdit(step->start, step->start + step->inserted.size(), step->removed);
    setSelection(step->anchor, step->caret);
    ensureCaretVisible();
}

void TextPane::redo()
{
    const std::optional<UndoHistory::Step> step = history_.redo();
    if (!step)
        return;
    applyEdit(step->start, step->start + step->removed.size(), step->inserted);
    const qsizetype caret = step->start + step->inserted.size();
    setSelection(caret, caret);
    ensureCaretVisible();
}

QString TextPane::selectedText() const
{
    return store_.text(selectionStart(), selectionEnd());
}

void TextPane::cut()
{
    if (anchor_ == caret_)
        return;
    copy();
    deleteSelection();
}

void TextPane::copy() const
{
    if (anchor_ != caret_)
        QGuiApplication::clipboard()->setText(selectedText());
}

void TextPane::paste()
{
    const QString text = QGuiApplication::clipboard()->text();
    if (!text.isEmpty())
        insertTyped(text, false);
}

void TextPane::selectAll()
{
    setSelection(0, store_.size());
}

void TextPane::setPrimarySelection() const
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (anchor_ != caret_ && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
}

// Selection and caret

void TextPane::setSelection(qsizetype anchor, qsizetype caret, bool keepColumn)
{
    if (!keepColumn)
        column_.reset();
    if (anchor == anchor_ && caret == caret_)
        return;
    anchor_ = anchor;
    caret_ = caret;
    restartBlink();
    viewport()->update();
    notifyCaret();
}

void TextPane::moveCaret(qsizetype position, bool extend, bool keepColumn)
{
    setSelection(extend ? anchor_ : position, position, keepColumn);
    ensureCaretVisible();
}

void TextPane::notifyCaret() const
{
    if (!QAccessible::isActive())
        return;
    auto *self = const_cast<TextPane *>(this);
    if (anchor_ != caret_) {
        QAccessibleTextSelectionEvent selection(self, int(indexOfBytePosition(selectionStart())),
                                                int(indexOfBytePosition(selectionEnd())));
        selection.setCursorPosition(int(indexOfBytePosition(caret_)));
        QAccessible::updateAccessibility(&selection);
    }
    QAccessibleTextCursorEvent cursor(self, int(indexOfBytePosition(caret_)));
    QAccessible::updateAccessibility(&cursor);
}

// The next or previous cursor position in the order of the text, a grapheme or a word away; a
// line break is one step.
qsizetype TextPane::nextPosition(qsizetype position, bool forward, bool byWord) const
{
    const qsizetype line = store_.lineOfPosition(position);
    const auto mode = byWord ? QTextLayout::SkipWords : QTextLayout::SkipCharacters;
    if (forward) {
        if (position >= store_.lineEnd(line))
            return line + 1 < store_.lineCount() ? store_.lineStart(line + 1) : position;
        const LineLayouts::Piece piece = layouts_.pieceOf(line, position);
        const QTextLayout &layout = layouts_.layout(line, piece);
        return layouts_.positionOf(
            piece, layout.nextCursorPosition(layouts_.offsetOf(piece, position), mode));
    }
    if (position <= store_.lineStart(line))
        return line > 0 ? store_.lineEnd(line - 1) : position;
    LineLayouts::Piece piece = layouts_.pieceOf(line, position);
    if (position == piece.start)
        piece = layouts_.piece(line, piece.index - 1);
    const QTextLayout &layout = layouts_.layout(line, piece);
    return layouts_.positionOf(
        piece, layout.previousCursorPosition(layouts_.offsetOf(piece, position), mode));
}

// One step left or right on screen, through right-to-left runs as they are drawn.
qsizetype TextPane::visualNeighbour(qsizetype position, bool right) const
{
    const qsizetype line = store_.lineOfPosition(position);
    const LineLayouts::Piece piece = layouts_.pieceOf(line, position);
    const QTextLayout &layout = layouts_.layout(line, piece);
    const int offset = layouts_.offsetOf(piece, position);
    const int next = right ? layout.rightCursorPosition(offset) : layout.leftCursorPosition(offset);
    if (next != offset)
        return layouts_.positionOf(piece, next);
    // At the edge of the line: on to the next line in the line's own direction.
    const bool rightToLeft = layout.text().isRightToLeft();
    return nextPosition(position, right != rightToLeft, false);
}

std::pair<qsizetype, qsizetype> TextPane::unitAt(qsizetype position, Unit unit) const
{
    const qsizetype line = store_.lineOfPosition(position);
    if (unit == Unit::Line) {
        const qsizetype end =
            line + 1 < store_.lineCount() ? store_.lineStart(line + 1) : store_.lineEnd(line);
        return {store_.lineStart(line), end};
    }
    if (unit == Unit::Character)
        return {position, position};
    // A word, a run of spaces, or one other character, as a text box takes a double click.
    const LineLayouts::Piece piece = layouts_.pieceOf(line, position);
    const QString text = layouts_.layout(line, piece).text();
    int start = layouts_.offsetOf(piece, position);
    if (start >= text.size())
        return {position, position};
    const auto sameKind = [&text, kind = text[start]](int at) {
        const QChar c = text[at];
        if (isWordCharacter(kind))
            return isWordCharacter(c);
        return kind.isSpace() && c.isSpace();
    };
    int end = start + 1;
    while (start > 0 && sameKind(start - 1))
        --start;
    while (end < text.size() && sameKind(end))
        ++end;
    return {layouts_.positionOf(piece, start), layouts_.positionOf(piece, end)};
}

qsizetype TextPane::verticalMove(int lines)
{
    const qsizetype line = store_.lineOfPosition(caret_);
    const qreal x = column_ ? *column_ : xOfPosition(caret_);
    const qsizetype target = std::clamp<qsizetype>(line + lines, 0, store_.lineCount() - 1);
    const qsizetype position = positionInLine(target, x);
    column_ = x;
    return position;
}

bool TextPane::navigate(QKeyEvent *event)
{
    bool extend = false;
    const auto is = [&](QKeySequence::StandardKey move, QKeySequence::StandardKey select) {
        extend = event->matches(select);
        return extend || event->matches(move);
    };
    const bool selected = anchor_ != caret_;
    using Key = QKeySequence;
    qsizetype target = -1;
    bool keepColumn = false;
    if (is(Key::MoveToNextChar, Key::SelectNextChar)) {
        target = selected && !extend ? std::max(anchor_, caret_) : visualNeighbour(caret_, true);
    } else if (is(Key::MoveToPreviousChar, Key::SelectPreviousChar)) {
        target = selected && !extend ? std::min(anchor_, caret_) : visualNeighbour(caret_, false);
    } else if (is(Key::MoveToNextWord, Key::SelectNextWord)) {
        target = nextPosition(caret_, true, true);
    } else if (is(Key::MoveToPreviousWord, Key::SelectPreviousWord)) {
        target = nextPosition(caret_, false, true);
    } else if (is(Key::MoveToStartOfLine, Key::SelectStartOfLine) ||
               is(Key::MoveToStartOfBlock, Key::SelectStartOfBlock)) {
        target = store_.lineStart(store_.lineOfPosition(caret_));
    } else if (is(Key::MoveToEndOfLine, Key::SelectEndOfLine) ||
               is(Key::MoveToEndOfBlock, Key::SelectEndOfBlock)) {
        target = store_.lineEnd(store_.lineOfPosition(caret_));
    } else if (is(Key::MoveToStartOfDocument, Key::SelectStartOfDocument)) {
        target = 0;
    } else if (is(Key::MoveToEndOfDocument, Key::SelectEndOfDocument)) {
        target = store_.size();
    } else if (is(Key::MoveToNextLine, Key::SelectNextLine)) {
        target = verticalMove(1);
        keepColumn = true;
    } else if (is(Key::MoveToPreviousLine, Key::SelectPreviousLine)) {
        target = verticalMove(-1);
        keepColumn = true;
    } else if (is(Key::MoveToNextPage, Key::SelectNextPage) ||
               is(Key::MoveToPreviousPage, Key::SelectPreviousPage)) {
        const int page = fullyVisibleLines();
        const bool down =
            event->matches(Key::MoveToNextPage) || event->matches(Key::SelectNextPage);
        target = verticalMove(down ? page : -page);
        verticalScrollBar()->setValue(verticalScrollBar()->value() + (down ? page : -page));
        keepColumn = true;
    } else {
        return false;
    }
    moveCaret(target, extend, keepColumn);
    return true;
}

void TextPane::keyPressEvent(QKeyEvent *event)
{
    using Key = QKeySequence;
    const bool selected = anchor_ != caret_;
    if (navigate(event))
        return;
    if (event->matches(Key::Undo)) {
        undo();
    } else if (event->matches(Key::Redo)) {
        redo();
    } else if (event->matches(Key::Cut)) {
        cut();
    } else if (event->matches(Key::Copy)) {
        copy();
    } else if (event->matches(Key::Paste)) {
        paste();
    } else if (event->matches(Key::SelectAll)) {
        selectAll();
    } else if (event->matches(Key::DeleteStartOfWord)) {
        edit(selected ? selectionStart() : nextPosition(caret_, false, true),
             selected ? selectionEnd() : caret_, QByteArray());
    } else if (event->matches(Key::DeleteEndOfWord)) {
        edit(selectionStart(), selected ? selectionEnd() : nextPosition(caret_, true, true),
             QByteArray());
    } else if (event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier)) {
        edit(selected ? selectionStart() : nextPosition(caret_, false, false),
             selected ? selectionEnd() : caret_, QByteArray());
    } else if (event->matches(Key::Delete)) {
        edit(selectionStart(), selected ? selectionEnd() : nextPosition(caret_, true, false),
             QByteArray());
    } else if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
               !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        insertTyped(QStringLiteral("\n"), true);
    } else if (event->key() == Qt::Key_Tab && !(event->modifiers() & ~Qt::KeypadModifier)) {
        insertTyped(QStringLiteral("\t"), true);
    } else if (isTypedText(*event)) {
        insertTyped(event->text(), true);
    } else {
        event->ignore();
        return;
    }
    event->accept();
}

// Tab types a tab, as in a plain text box; Shift+Tab moves the focus back.
bool TextPane::focusNextPrevChild(bool next)
{
    return next ? false : QAbstractScrollArea::focusNextPrevChild(next);
}

bool TextPane::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // The editing keys are the pane's while it has the focus.
        auto *key = static_cast<QKeyEvent *>(event);
        using Key = QKeySequence;
        for (const Key::StandardKey standard :
             {Key::Undo, Key::Redo, Key::Cut, Key::Copy, Key::Paste, Key::SelectAll, Key::Delete,
              Key::DeleteStartOfWord, Key::DeleteEndOfWord}) {
            if (key->matches(standard)) {
                event->accept();
                return true;
            }
        }
        if (isTypedText(*key)) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void TextPane::inputMethodEvent(QInputMethodEvent *event)
{
    qsizetype start = selectionStart();
    qsizetype end = selectionEnd();
    if (event->replacementLength() > 0 && start == end) {
        const qsizetype index = indexOfBytePosition(caret_) + event->replacementStart();
        start = bytePosition(index);
        end = bytePosition(index + event->replacementLength());
    }
    if (!event->commitString().isEmpty() || end > start)
        edit(start, end, crLfUtf8(event->commitString()), true);
    preedit_ = event->preeditString();
    preeditCursor_ = int(preedit_.size());
    for (const QInputMethodEvent::Attribute &attribute : event->attributes()) {
        if (attribute.type == QInputMethodEvent::Cursor)
            preeditCursor_ = attribute.start;
    }
    layouts_.setPreedit(caret_, preedit_);
    viewport()->update();
    event->accept();
}

QVariant TextPane::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const qsizetype line = store_.lineOfPosition(caret_);
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImHints:
        return int(Qt::ImhMultiLine);
    case Qt::ImFont:
        return font();
    case Qt::ImCursorRectangle:
        return caretRect().translated(viewport()->pos());
    case Qt::ImSurroundingText: {
        const LineLayouts::Piece piece = layouts_.pieceOf(line, caret_);
        return store_.text(piece.start, piece.end);
    }
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition: {
        const LineLayouts::Piece piece = layouts_.pieceOf(line, caret_);
        const qsizetype at = query == Qt::ImCursorPosition ? caret_ : anchor_;
        return layouts_.offsetOf(piece, at);
    }
    case Qt::ImCurrentSelection:
        return selectedText();
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

// Mouse

void TextPane::selectAt(const QPoint &point, Unit unit, bool extend)
{
    const qsizetype position = positionAt(point);
    dragUnit_ = unit;
    if (extend) {
        dragStart_ = dragEnd_ = anchor_;
        extendDrag(point);
        return;
    }
    std::tie(dragStart_, dragEnd_) = unitAt(position, unit);
    setSelection(dragStart_, dragEnd_);
    ensureCaretVisible();
}

void TextPane::extendDrag(const QPoint &point)
{
    const auto [start, end] = unitAt(positionAt(point), dragUnit_);
    if (start < dragStart_)
        setSelection(dragEnd_, start);
    else
        setSelection(dragStart_, std::max(end, dragEnd_));
    ensureCaretVisible();
}

void TextPane::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        const bool tripleClick = sinceDoubleClick_.isValid() &&
                                 sinceDoubleClick_.elapsed() <
                                     QGuiApplication::styleHints()->mouseDoubleClickInterval() &&
                                 (point - doubleClickPoint_).manhattanLength() <
                                     QGuiApplication::styleHints()->startDragDistance();
        sinceDoubleClick_.invalidate();
        selectAt(point, tripleClick ? Unit::Line : Unit::Character,
                 !tripleClick && event->modifiers() & Qt::ShiftModifier);
        dragging_ = true;
    } else if (event->button() == Qt::MiddleButton &&
               QGuiApplication::clipboard()->supportsSelection()) {
        const QString text = QGuiApplication::clipboard()->text(QClipboard::Selection);
        const qsizetype position = positionAt(point);
        setSelection(position, position);
        if (!text.isEmpty())
            insertTyped(text, false);
    }
    event->accept();
}

void TextPane::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    selectAt(point, Unit::Word, false);
    sinceDoubleClick_.start();
    doubleClickPoint_ = point;
    dragging_ = true;
    event->accept();
}

void TextPane::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT mouseMoved();
    if (!dragging_ || !(event->buttons() & Qt::LeftButton))
        return;
    dragPoint_ = event->position().toPoint();
    extendDrag(dragPoint_);
    if (viewport()->rect().contains(dragPoint_))
        autoScroll_.stop();
    else if (!autoScroll_.isActive())
        autoScroll_.start(autoScrollMilliseconds, this);
}

void TextPane::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !dragging_)
        return;
    dragging_ = false;
    autoScroll_.stop();
    setPrimarySelection();
}

void TextPane::autoScroll()
{
    const QRect area = viewport()->rect();
    if (dragPoint_.y() < area.top())
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (dragPoint_.y() > area.bottom())
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    if (dragPoint_.x() < area.left())
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (dragPoint_.x() > area.right())
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    const QPoint inside(std::clamp(dragPoint_.x(), area.left(), area.right()),
                        std::clamp(dragPoint_.y(), area.top(), area.bottom()));
    const auto [start, end] = unitAt(positionAt(inside), dragUnit_);
    if (start < dragStart_)
        setSelection(dragEnd_, start);
    else
        setSelection(dragStart_, std::max(end, dragEnd_));
}

void TextPane::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

QMenu *TextPane::createContextMenu()
{
    auto *menu = new QMenu(this);
    const bool selected = anchor_ != caret_;
    const auto add = [menu](const QString &text, QKeySequence::StandardKey key, bool enabled,
                            auto slot) {
        QAction *action = menu->addAction(text, slot);
        action->setShortcut(key);
        action->setEnabled(enabled);
    };
    add(QStringLiteral("&Undo"), QKeySequence::Undo, history_.canUndo(), [this] { undo(); });
    add(QStringLiteral("&Redo"), QKeySequence::Redo, history_.canRedo(), [this] { redo(); });
    menu->addSeparator();
    add(QStringLiteral("Cu&t"), QKeySequence::Cut, selected, [this] { cut(); });
    add(QStringLiteral("&Copy"), QKeySequence::Copy, selected, [this] { copy(); });
    add(QStringLiteral("&Paste"), QKeySequence::Paste,
        !QGuiApplication::clipboard()->text().isEmpty(), [this] { paste(); });
    add(QStringLiteral("Delete"), QKeySequence::Delete, selected, [this] { deleteSelection(); });
    menu->addSeparator();
    add(QStringLiteral("Select All"), QKeySequence::SelectAll, store_.size() > 0,
        [this] { selectAll(); });
    menu->addSeparator();
    navigation_->addMenuEntries(menu);
    return menu;
}

// Geometry of the text on screen

int TextPane::firstVisibleLine() const
{
    return verticalScrollBar()->value();
}

int TextPane::fullyVisibleLines() const
{
    return std::max(1, (viewport()->height() - textPadding) / lineHeight_);
}

qsizetype TextPane::lineTop(qsizetype line) const
{
    return textPadding + (line - firstVisibleLine()) * qsizetype(lineHeight_);
}

qreal TextPane::xOfPosition(qsizetype position) const
{
    const qsizetype line = store_.lineOfPosition(position);
    const LineLayouts::Piece piece = layouts_.pieceOf(line, position);
    const QTextLayout &layout = layouts_.layout(line, piece);
    int offset = layouts_.offsetOf(piece, position);
    if (!preedit_.isEmpty() && position == caret_)
        offset += preeditCursor_;
    return piece.x + layout.lineAt(0).cursorToX(offset);
}

// The scroll bar counts in steps of scale_ pixels, so that a line wider than an int can count
// still scrolls to its end.
qreal TextPane::shownX() const
{
    return horizontalScrollBar()->value() * scale_;
}

void TextPane::setShownX(qreal x)
{
    horizontalScrollBar()->setValue(
        int(std::clamp<qreal>(std::round(x / scale_), 0, std::numeric_limits<int>::max())));
}

qreal TextPane::viewportX(qsizetype position) const
{
    return textPadding + xOfPosition(position) - shownX();
}

qsizetype TextPane::positionAt(const QPoint &point) const
{
    const qsizetype line = std::clamp<qsizetype>(
        firstVisibleLine() + std::floor(qreal(point.y() - textPadding) / lineHeight_), 0,
        store_.lineCount() - 1);
    return positionInLine(line, point.x() - textPadding + shownX());
}

qsizetype TextPane::positionInLine(qsizetype line, qreal x) const
{
    const LineLayouts::Piece piece = layouts_.pieceAtX(line, x);
    const QTextLayout &layout = layouts_.layout(line, piece);
    return layouts_.positionOf(piece, layout.lineAt(0).xToCursor(x - piece.x));
}

QRect TextPane::caretRect() const
{
    const qsizetype top = lineTop(store_.lineOfPosition(caret_));
    if (top < -lineHeight_ || top > viewport()->height())
        return QRect();
    const qreal x = viewportX(caret_);
    return QRect(int(std::floor(x)) - 1, int(top), 3, lineHeight_);
}

void TextPane::ensureCaretVisible()
{
    const qsizetype line = store_.lineOfPosition(caret_);
    const int first = firstVisibleLine();
    const int full = fullyVisibleLines();
    if (line < first)
        verticalScrollBar()->setValue(int(line));
    else if (line >= first + full)
        verticalScrollBar()->setValue(int(line - full + 1));

    // The pieces of a long line around the caret are measured first, so that the caret stays
    // where it is put once they are drawn.
    const int width = std::max(1, viewport()->width() - 2 * textPadding);
    qreal x = xOfPosition(caret_);
    for (int round = 0; round < 4 && layouts_.measure(line, x - width, x + width); ++round)
        x = xOfPosition(caret_);
    widenScrollRange(x + 1);
    const qreal shown = shownX();
    if (x < shown)
        setShownX(x - width / 3);
    else if (x > shown + width - 1)
        setShownX(x - width + width / 3);
}

void TextPane::showRange(qsizetype start, qsizetype end, int linesAbove)
{
    setSelection(snapped(start), snapped(end));
    const qsizetype line = store_.lineOfPosition(caret_);
    const int first = firstVisibleLine();
    const int full = fullyVisibleLines();
    const int above = std::min(linesAbove, full / 3);
    if (line < first + above || line >= first + full)
        verticalScrollBar()->setValue(int(std::max<qsizetype>(line - above, 0)));
    ensureCaretVisible();
}

void TextPane::widenScrollRange(qreal width)
{
    if (width <= widest_)
        return;
    widest_ = width;
    updateScrollBars();
}

void TextPane::updateScrollBars()
{
    const int full = fullyVisibleLines();
    verticalScrollBar()->setRange(0, int(std::max<qsizetype>(0, store_.lineCount() - full)));
    verticalScrollBar()->setPageStep(full);
    const int width = std::max(1, viewport()->width() - 2 * textPadding);
    const qreal widest = widest_ + 2;
    scale_ = std::max<qreal>(1, std::ceil(widest / (std::numeric_limits<int>::max() / 2)));
    horizontalScrollBar()->setRange(0, int(std::ceil(std::max<qreal>(0, widest - width) / scale_)));
    horizontalScrollBar()->setPageStep(std::max(1, int(width / scale_)));
    horizontalScrollBar()->setSingleStep(std::max(1, int(horizontalStep / scale_)));
}

void TextPane::applyFont()
{
    layouts_.setFont(font());
    const QFontMetrics metrics(font());
    lineHeight_ = std::max(1, metrics.lineSpacing());
    ascent_ = metrics.ascent();
    widest_ = layouts_.lineWidth(std::min(longestLine_, store_.lineCount() - 1));
    updateScrollBars();
    viewport()->update();
}

// Drawing

void TextPane::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const QRect clip = event->rect();
    const QColor textColour = palette().color(QPalette::Text);
    painter.setPen(textColour);
    const qreal shown = shownX();
    // The match of a search shows while the find dialog, not the pane, has the focus.
    const bool showSelection = (focused_ || navigation_->isFinding()) && anchor_ != caret_;
    const qsizetype start = selectionStart();
    const qsizetype end = selectionEnd();
    QTextCharFormat selectionFormat;
    selectionFormat.setBackground(palette().brush(QPalette::Highlight));
    selectionFormat.setForeground(palette().brush(QPalette::HighlightedText));
    const qsizetype caretLine = store_.lineOfPosition(caret_);
    const qsizetype firstLine =
        firstVisibleLine() + std::max(0, (clip.top() - textPadding) / lineHeight_);
    // Content x at the pane's left edge and right edge of what is to be drawn.
    const qreal left = shown - textPadding + clip.left();
    const qreal right = shown - textPadding + clip.right() + 1;
    qreal widest = 0;

    for (qsizetype line = firstLine; line < store_.lineCount(); ++line) {
        const qsizetype top = lineTop(line);
        if (top > clip.bottom())
            break;
        const qsizetype lineEnd = store_.lineEnd(line);
        LineLayouts::Piece piece = layouts_.pieceAtX(line, left);
        const int pieces = layouts_.pieceCount(line);
        while (true) {
            const QTextLayout &layout = layouts_.layout(line, piece);
            const QTextLine textLine = layout.lineAt(0);
            QList<QTextLayout::FormatRange> selections;
            if (showSelection && start < piece.end && end > piece.start) {
                const int from = layouts_.offsetOf(piece, std::max(start, piece.start));
                const int to = layouts_.offsetOf(piece, std::min(end, piece.end));
                selections.append({from, to - from, selectionFormat});
            }
            const QPointF origin(textPadding + piece.x - shown,
                                 qreal(top) + ascent_ - textLine.ascent());
            layout.draw(&painter, origin, selections, clip);
            const qreal pieceRight = piece.x + textLine.horizontalAdvance();
            if (piece.index + 1 >= pieces || pieceRight > right)
                break;
            piece = layouts_.piece(line, piece.index + 1);
        }
        const qreal width = layouts_.lineWidth(line);
        widest = std::max(widest, width);
        // A selected line break shows as a space's width of highlight after the line.
        if (showSelection && start <= lineEnd && end > lineEnd) {
            const qreal space = QFontMetricsF(font()).horizontalAdvance(u' ');
            painter.fillRect(QRectF(textPadding + width - shown, qreal(top), space, lineHeight_),
                             palette().brush(QPalette::Highlight));
        }
        if (line == caretLine && caretShown_ && focused_) {
            const qreal x = viewportX(caret_);
            painter.fillRect(QRectF(std::floor(x), qreal(top), 1, lineHeight_), textColour);
        }
    }
    widenScrollRange(widest);
}

void TextPane::restartBlink()
{
    caretShown_ = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (focused_ && isVisible() && flash > 0)
        blink_.start(flash / 2, this);
    else
        blink_.stop();
}

void TextPane::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == blink_.timerId()) {
        caretShown_ = !caretShown_;
        // Only the caret's own few pixels are drawn again.
        viewport()->update(caretRect());
    } else if (event->timerId() == autoScroll_.timerId()) {
        autoScroll();
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}

void TextPane::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void TextPane::scrollContentsBy(int, int)
{
    viewport()->update();
}

void TextPane::showEvent(QShowEvent *event)
{
    QAbstractScrollArea::showEvent(event);
    restartBlink();
}

void TextPane::hideEvent(QHideEvent *event)
{
    QAbstractScrollArea::hideEvent(event);
    blink_.stop();
}

void TextPane::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        applyFont();
}

// A plain text box shows its selection only while it has the keyboard focus, so the range a
// comparison leaves selected shows its colour until the user clicks into the pane.
void TextPane::focusInEvent(QFocusEvent *event)
{
    focused_ = true;
    restartBlink();
    viewport()->update();
    QAbstractScrollArea::focusInEvent(event);
}

void TextPane::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason)
        return;
    focused_ = false;
    blink_.stop();
    viewport()->update();
}

// Pointer and geometry

void TextPane::setPointer(const QCursor &pointer)
{
    pointer_ = pointer;
    viewport()->setCursor(pointer);
}

void TextPane::unsetPointer()
{
    pointer_.reset();
    viewport()->setCursor(Qt::IBeamCursor);
}

bool TextPane::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::CursorChange && pointer_ && viewport()->cursor() != *pointer_)
        viewport()->setCursor(*pointer_);
    return QAbstractScrollArea::viewportEvent(event);
}

bool TextPane::setLeftTwips(float value)
{
    return assignTwips(left_, value, isPlacement(value));
}

bool TextPane::setTopTwips(float value)
{
    return assignTwips(top_, value, isPlacement(value));
}

bool TextPane::setWidthTwips(float value)
{
    return assignTwips(width_, value, isExtent(value));
}

bool TextPane::setHeightTwips(float value)
{
    return assignTwips(height_, value, isExtent(value));
}

bool TextPane::assignTwips(float &field, float value, bool valid)
{
    if (!valid)
        return false;
    field = value;
    placeInPixels();
    return true;
}

void TextPane::placeInPixels()
{
    setGeometry(Twips::toPixels(left_, this), Twips::toPixels(top_, this),
                Twips::toPixels(width_, this), Twips::toPixels(height_, this));
}
