#pragma once

#include "compare/TextRange.h"
#include "pane/LineLayouts.h"
#include "pane/MarkedRanges.h"
#include "pane/TextStore.h"
#include "pane/TwipsGeometry.h"
#include "pane/UndoHistory.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QByteArray>
#include <QByteArrayView>
#include <QCursor>
#include <QElapsedTimer>
#include <QList>
#include <optional>

class PaneNavigation;
class QMenu;

// One of the window's four text panes: a text box of our own over a TextStore, laying out only
// the lines on screen with QTextLayout. Its text is always seen as one string in which every
// line break is CR LF, and every index (selection, colouring) is a 0-based UTF-16 index into that
// string, a line break counting as two. The store holds the text as UTF-8 with CR LF breaks and
// maps indexes to byte positions and back in logarithmic time.
//
// An index that falls between CR and LF, or between the two halves of a surrogate pair, stands
// for the position after that line break or character: a range ending on a CR takes the whole
// line break, one starting on an LF begins on the next line.
//
// Byte positions are those of utf8Text(). One inside a UTF-8 sequence maps to the index after
// that character; colorByteRanges() expects whole characters, but takes the whole line break
// for a range ending between CR and LF, as a selection does.
//
// Colour is red or not, kept as sorted byte ranges: any colour but black marks, black clears.
// Red is drawn as RGB 255,0,0, the rest in the palette's text colour on its base colour.
// Setting text and colouring from code leave no step the user could undo and drop the steps the
// user's own typing left.
class TextPane : public QAbstractScrollArea, public TwipsGeometry
{
    Q_OBJECT

public:
    explicit TextPane(QWidget *parent = nullptr);
    ~TextPane() override;

    QString text() const;
    // Replaces the whole content, colours included. CR LF, a lone CR and a lone LF each become
    // one line break.
    void setText(const QString &text);
    // Length of text() without building it.
    qsizetype textLength() const;

    qsizetype selStart() const;
    void setSelStart(qsizetype index);
    qsizetype selLength() const;
    void setSelLength(qsizetype length);
    void setSelColor(const QColor &colour);

    QColor colorAt(qsizetype index) const;

    // The UTF-8 bytes, CR LF breaks, without a copy; valid until the next change.
    QByteArrayView utf8Text() const;
    // The same bytes as an array of their own, which the pane's later changes leave alone;
    // without a copy unless the user has edited the text.
    QByteArray utf8Bytes() const;
    // setText() for valid UTF-8.
    void setUtf8Text(QByteArray bytes);
    // Selects the bytes from start to end of utf8Text().
    void selectBytes(qsizetype start, qsizetype end);
    // Colours many ranges, given as byte positions into utf8Text(), in one pass.
    void colorByteRanges(const QList<TextRange> &byteRanges, const QColor &colour)
    {
        colorByteRanges(byteRanges.constData(), byteRanges.constData() + byteRanges.size(), colour);
    }
    void colorByteRanges(const TextRange *begin, const TextRange *end, const QColor &colour);
    qsizetype bytePosition(qsizetype index) const;
    qsizetype indexOfBytePosition(qsizetype position) const;

    // The mouse pointer over the text area, in place of the text box's I-beam.
    void setPointer(const QCursor &pointer);
    void unsetPointer();

    float leftTwips() const override { return left_; }
    float topTwips() const override { return top_; }
    float widthTwips() const override { return width_; }
    float heightTwips() const override { return height_; }
    bool setLeftTwips(float value) override;
    bool setTopTwips(float value) override;
    bool setWidthTwips(float value) override;
    bool setHeightTwips(float value) override;

    // The editing commands of the context menu, for the keys and for tests.
    void undo();
    void redo();
    void cut();
    void copy() const;
    void paste();
    void selectAll();

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

    // What the navigation keys need: the differences, the text, where the caret is, and a way
    // to select a range with some lines above it in view.
    PaneNavigation &navigation() const { return *navigation_; }
    const MarkedRanges &markedRanges() const { return marks_; }
    const TextStore &store() const { return store_; }
    qsizetype caretPosition() const { return caret_; }
    void showRange(qsizetype start, qsizetype end, int linesAbove);

Q_SIGNALS:
    void mouseMoved();

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void timerEvent(QTimerEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    friend class PaneAccessible;
    enum class Unit { Character, Word, Line };

    // Replaces the bytes from start to end with crlfUtf8 as the user's edit: undoable, the caret
    // after the new text.
    void edit(qsizetype start, qsizetype end, const QByteArray &crlfUtf8, bool typing = false);
    void applyEdit(qsizetype start, qsizetype end, const QByteArray &crlfUtf8);
    void insertTyped(const QString &text, bool typing);
    void deleteSelection();
    void forgetHistory();
    void colouringChanged();
    bool isMarking(const QColor &colour) const;

    qsizetype selectionStart() const { return std::min(anchor_, caret_); }
    qsizetype selectionEnd() const { return std::max(anchor_, caret_); }
    void setSelection(qsizetype anchor, qsizetype caret, bool keepColumn = false);
    void moveCaret(qsizetype position, bool extend, bool keepColumn = false);
    qsizetype snapped(qsizetype position) const;
    qsizetype nextPosition(qsizetype position, bool forward, bool byWord) const;
    qsizetype visualNeighbour(qsizetype position, bool right) const;
    QString selectedText() const;
    bool navigate(QKeyEvent *event);

    int lineHeight() const { return lineHeight_; }
    int firstVisibleLine() const;
    int fullyVisibleLines() const;
    // Content x (before scrolling) of a byte position on its line, and the position nearest to
    // a point of the viewport.
    qreal xOfPosition(qsizetype position) const;
    qreal viewportX(qsizetype position) const;
    qreal shownX() const;
    void setShownX(qreal x);
    qsizetype positionAt(const QPoint &point) const;
    qsizetype positionInLine(qsizetype line, qreal x) const;
    QRect caretRect() const;
    // Top of the line in the viewport; far off screen for lines far away.
    qsizetype lineTop(qsizetype line) const;
    void ensureCaretVisible();
    void updateScrollBars();
    void widenScrollRange(qreal width);
    void applyFont();
    void restartBlink();
    void selectAt(const QPoint &point, Unit unit, bool extend);
    void extendDrag(const QPoint &point);
    std::pair<qsizetype, qsizetype> unitAt(qsizetype position, Unit unit) const;
    qsizetype verticalMove(int lines);
    void autoScroll();
    void setPrimarySelection() const;
    void notifyCaret() const;
    QMenu *createContextMenu();

    bool assignTwips(float &field, float value, bool valid);
    void placeInPixels();

    TextStore store_;
    MarkedRanges marks_;
    mutable LineLayouts layouts_;
    UndoHistory history_;
    qsizetype anchor_ = 0;
    qsizetype caret_ = 0;
    // The x the caret keeps through up and down moves.
    std::optional<qreal> column_;
    QString preedit_;
    bool caretShown_ = false;
    QBasicTimer blink_;
    QBasicTimer autoScroll_;
    QPoint dragPoint_;
    Unit dragUnit_ = Unit::Character;
    // What the press that started a drag selected: the selection keeps it whole.
    qsizetype dragStart_ = 0;
    qsizetype dragEnd_ = 0;
    bool dragging_ = false;
    bool focused_ = false;
    int preeditCursor_ = 0;
    // The line longest in bytes, likely the widest, for the horizontal scroll range.
    qsizetype longestLine_ = 0;
    QElapsedTimer sinceDoubleClick_;
    QPoint doubleClickPoint_;
    int lineHeight_ = 1;
    int ascent_ = 0;
    qreal widest_ = 0;
    qreal scale_ = 1;
    std::optional<QCursor> pointer_;
    PaneNavigation *navigation_ = nullptr;
    float left_ = 0;
    float top_ = 0;
    float width_ = 0;
    float height_ = 0;
};
