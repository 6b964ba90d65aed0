#include "pane/TextPane.h"

#include "pane/LineBreaks.h"
#include "pane/Twips.h"

#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>

namespace {

// Index of a block's first character in the CR LF form of the text: every block before it
// has one separator in the document but two characters (CR LF) in the text.
qsizetype crLfStart(const QTextBlock &block)
{
    return qsizetype(block.position()) + block.blockNumber();
}

bool isPlacement(float value)
{
    return std::isfinite(value) && std::fabs(value) <= float(QWIDGETSIZE_MAX);
}

bool isExtent(float value)
{
    return isPlacement(value) && value >= 0;
}

} // namespace

TextPane::TextPane(QWidget *parent) : QPlainTextEdit(parent)
{
    viewport()->setMouseTracking(true);
}

QString TextPane::text() const
{
    return LineBreaks::toCrLf(document()->toRawText());
}

void TextPane::setText(const QString &text)
{
    const QString normalised = LineBreaks::toLf(text);
    editWithoutUndo([&] { setPlainText(normalised); });
}

qsizetype TextPane::textLength() const
{
    const QTextDocument *doc = document();
    // characterCount() counts one separator per block, the last one being the document's end.
    return qsizetype(doc->characterCount()) - 1 + (doc->blockCount() - 1);
}

QTextBlock TextPane::blockAtIndex(qsizetype index) const
{
    const QTextDocument *doc = document();
    int low = 0;
    int high = doc->blockCount() - 1;
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (crLfStart(doc->findBlockByNumber(middle)) <= index)
            low = middle;
        else
            high = middle - 1;
    }
    return doc->findBlockByNumber(low);
}

int TextPane::documentPosition(qsizetype index) const
{
    if (index <= 0)
        return 0;
    const QTextBlock block = blockAtIndex(index);
    const qsizetype offset = index - crLfStart(block);
    const int lineLength = block.length() - 1;
    // An index on the CR maps to the separator; one on the LF maps past it, so that a range
    // ending with CR includes the separator and one starting at LF begins on the next line.
    const qsizetype position =
        block.position() + (offset <= lineLength ? offset : qsizetype(lineLength) + 1);
    return int(qMin(position, qsizetype(document()->characterCount() - 1)));
}

qsizetype TextPane::indexOf(int documentPosition) const
{
    const QTextBlock block = document()->findBlock(documentPosition);
    return qsizetype(documentPosition) + (block.isValid() ? block.blockNumber() : 0);
}

qsizetype TextPane::selStart() const
{
    return indexOf(textCursor().selectionStart());
}

void TextPane::setSelStart(qsizetype index)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(documentPosition(index));
    setTextCursor(cursor);
}

qsizetype TextPane::selLength() const
{
    const QTextCursor cursor = textCursor();
    return indexOf(cursor.selectionEnd()) - indexOf(cursor.selectionStart());
}

void TextPane::setSelLength(qsizetype length)
{
    const qsizetype start = selStart();
    QTextCursor cursor = textCursor();
    cursor.setPosition(documentPosition(start));
    cursor.setPosition(documentPosition(start + qMax<qsizetype>(length, 0)),
                       QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void TextPane::setSelColor(const QColor &colour)
{
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return;
    QTextCharFormat format;
    format.setForeground(colour);
    editWithoutUndo([&] { cursor.mergeCharFormat(format); });
}

void TextPane::colorRanges(const QList<TextRange> &ranges, const QColor &colour)
{
    QTextCharFormat format;
    format.setForeground(colour);
    QTextCursor cursor(document());
    editWithoutUndo([&] {
        cursor.beginEditBlock();
        for (const TextRange &range : ranges) {
            if (range.length <= 0)
                continue;
            cursor.setPosition(documentPosition(range.start));
            cursor.setPosition(documentPosition(range.start + range.length),
                               QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(format);
        }
        cursor.endEditBlock();
    });
}

QColor TextPane::colorAt(qsizetype index) const
{
    const QTextBlock block = blockAtIndex(index);
    const qsizetype offset = index - crLfStart(block);
    QTextCharFormat format;
    if (offset >= block.length() - 1) {
        // Both characters of a line break stand for the document's separator, whose format is
        // held as the next block's character format.
        format = block.next().charFormat();
    } else {
        const int position = block.position() + int(offset);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().contains(position)) {
                format = it.fragment().charFormat();
                break;
            }
        }
    }
    if (format.hasProperty(QTextFormat::ForegroundBrush))
        return format.foreground().color();
    return palette().color(QPalette::Text);
}

// Programmatic changes are not steps the user could undo, and keeping them would hold a copy
// of every coloured range; switching undo off for the change also drops the history.
template <typename Edit> void TextPane::editWithoutUndo(Edit edit)
{
    document()->setUndoRedoEnabled(false);
    edit();
    document()->setUndoRedoEnabled(true);
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

void TextPane::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT mouseMoved();
    QPlainTextEdit::mouseMoveEvent(event);
}
