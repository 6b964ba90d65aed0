#pragma once

#include "compare/TextRange.h"
#include "pane/Scintilla.h"
#include "pane/TwipsGeometry.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QCursor>
#include <QList>
#include <optional>

// One of the window's four text panes, on Scintilla. Its text is always seen as one string in
// which every line break is CR LF, and every index (selection, colouring) is a 0-based UTF-16
// index into that string, a line break counting as two. The document holds the text as UTF-8
// with CR LF breaks; indexes map to byte positions through Scintilla's UTF-16 line index, made
// when an index is first asked for: a search for the line, then a count along it.
//
// An index that falls between CR and LF, or between the two halves of a surrogate pair, stands
// for the position after that line break or character: a range ending on a CR takes the whole
// line break, one starting on an LF begins on the next line.
//
// Byte positions are those of utf8Text(). One inside a UTF-8 sequence maps to the index after
// that character; colorByteRanges() expects whole characters, but takes the whole line break
// for a range ending between CR and LF, as a selection does.
//
// A line of more than a quarter of a megabyte shows its first quarter megabyte only: laying out a
// longer line for the screen would stop the window for seconds.
//
// Colour is one indicator drawn as red text: "red" sets it, the text colour (black) clears it.
// Setting text and colouring from code leave no step the user could undo and drop the steps the
// user's own typing left. The pane runs its own Scintilla document, which QsciScintilla's
// document() and setDocument() do not know of: they must not be used.
class TextPane : public QsciScintilla, public TwipsGeometry
{
    Q_OBJECT

public:
    explicit TextPane(QWidget *parent = nullptr);

    QString text() const;
    // Replaces the whole content, colours included. CR LF, a lone CR and a lone LF each become
    // one line break.
    void setText(const QString &text) override;
    // Length of text() without building it.
    qsizetype textLength() const;

    qsizetype selStart() const;
    void setSelStart(qsizetype index);
    qsizetype selLength() const;
    void setSelLength(qsizetype length);
    void setSelColor(const QColor &colour);

    QColor colorAt(qsizetype index) const;

    // The document's UTF-8 bytes, CR LF breaks, without a copy; valid until the next change.
    QByteArrayView utf8Text() const;
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

    // The mouse pointer over the text area, in place of Scintilla's own, which Scintilla
    // would otherwise set again on every mouse move.
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

Q_SIGNALS:
    void mouseMoved();

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    class Positions;
    class ProgrammaticChange;

    long send(unsigned int message, qsizetype wParam = 0, qsizetype lParam = 0) const;
    void allocateLineIndex() const;
    void releaseLineIndex();
    bool isMarking(const QColor &colour) const;
    void fillByteRange(qsizetype start, qsizetype end, bool mark);
    void useDocument(bool styled);
    void hideLineTails();
    void applyFont();
    void fitScrollWidth();
    bool assignTwips(float &field, float value, bool valid);
    void placeInPixels();

    std::optional<QCursor> pointer_;
    int indicator_ = 0;
    // The document keeps a style byte per character, which only hiding the tails of very long
    // lines needs.
    bool styled_ = false;
    // Scintilla keeps the UTF-16 index of every line of the document, made on first use.
    mutable bool lineIndexAllocated_ = false;
    // The line that looked widest when the text was set, for the horizontal scroll range.
    qsizetype longestLine_ = 0;
    float left_ = 0;
    float top_ = 0;
    float width_ = 0;
    float height_ = 0;
};
