#include "pane/PaneAccessible.h"
#include "pane/MarkColour.h"

#include "pane/TextPane.h"

#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace {

QAccessibleInterface *paneFactory(const QString &className, QObject *object)
{
    if (className != QLatin1String("TextPane"))
        return nullptr;
    return new PaneAccessible(*static_cast<TextPane *>(object));
}

} // namespace

void PaneAccessible::install()
{
    static const bool installed = (QAccessible::installFactory(paneFactory), true);
    Q_UNUSED(installed);
}

PaneAccessible::PaneAccessible(TextPane &pane) : QAccessibleWidget(&pane, QAccessible::EditableText)
{}

TextPane &PaneAccessible::pane() const
{
    return *static_cast<TextPane *>(widget());
}

void *PaneAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

void PaneAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || selectionCount() == 0)
        return;
    *startOffset = int(pane().selStart());
    *endOffset = *startOffset + int(pane().selLength());
}

int PaneAccessible::selectionCount() const
{
    return pane().anchor_ == pane().caret_ ? 0 : 1;
}

void PaneAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void PaneAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        pane().setSelection(pane().caret_, pane().caret_);
}

void PaneAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0)
        return;
    pane().setSelection(pane().bytePosition(startOffset), pane().bytePosition(endOffset));
    pane().ensureCaretVisible();
}

int PaneAccessible::cursorPosition() const
{
    return int(pane().indexOfBytePosition(pane().caret_));
}

void PaneAccessible::setCursorPosition(int position)
{
    const qsizetype at = pane().bytePosition(position);
    pane().setSelection(at, at);
    pane().ensureCaretVisible();
}

QString PaneAccessible::text(int startOffset, int endOffset) const
{
    const qsizetype start = pane().bytePosition(startOffset);
    const qsizetype end = pane().bytePosition(endOffset);
    return end > start ? pane().store_.text(start, end) : QString();
}

int PaneAccessible::characterCount() const
{
    return int(pane().textLength());
}

QRect PaneAccessible::characterRect(int offset) const
{
    TextPane &p = pane();
    const qsizetype position = p.bytePosition(offset);
    const qsizetype line = p.store_.lineOfPosition(position);
    const qsizetype next = std::min(p.store_.lineEnd(line), p.nextPosition(position, true, false));
    const qreal x = p.viewportX(position);
    const qreal width = next > position ? p.viewportX(next) - x : 1;
    const int left = int(std::floor(std::min(x, x + width)));
    const int right = int(std::ceil(std::max(x, x + width)));
    const QRect local(left, int(p.lineTop(line)), std::max(1, right - left), p.lineHeight());
    return QRect(p.viewport()->mapToGlobal(local.topLeft()), local.size());
}

int PaneAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPoint local = pane().viewport()->mapFromGlobal(point);
    if (!pane().viewport()->rect().contains(local))
        return -1;
    return int(pane().indexOfBytePosition(pane().positionAt(local)));
}

void PaneAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    Q_UNUSED(endIndex);
    TextPane &p = pane();
    const qsizetype line = p.store_.lineOfPosition(p.bytePosition(startIndex));
    if (line < p.firstVisibleLine() || line >= p.firstVisibleLine() + p.fullyVisibleLines())
        p.verticalScrollBar()->setValue(int(line));
    p.setShownX(p.xOfPosition(p.bytePosition(startIndex)));
}

// The run of one colour around the character at offset, as a screen reader moves through the
// text by attribute runs: red where the pane draws red, the palette's text colour elsewhere.
// Found in the sorted red ranges, never by walking the text.
QString PaneAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    TextPane &p = pane();
    const int count = characterCount();
    *startOffset = *endOffset = 0;
    if (count == 0)
        return QString();
    offset = std::clamp(offset, 0, count - 1);
    // The character's first byte: an offset inside a line break or a surrogate pair belongs to
    // the character it is inside of.
    qsizetype position = p.bytePosition(offset);
    if (p.indexOfBytePosition(position) != offset)
        position = p.bytePosition(offset - 1);

    const TextRange before = p.marks_.previous(position + 1);
    const bool red = before.length > 0 && position < before.start + before.length;
    qsizetype start = before.start;
    qsizetype end = before.start + before.length;
    if (!red) {
        const TextRange after = p.marks_.next(position);
        start = before.length > 0 ? end : 0;
        end = after.length > 0 ? after.start : p.store_.size();
    }
    *startOffset = int(p.indexOfBytePosition(start));
    *endOffset = int(p.indexOfBytePosition(end));
    const QColor colour = red ? markColour : p.palette().color(QPalette::Text);
    return QStringLiteral("color:rgb(%1,%2,%3);")
        .arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue());
}
