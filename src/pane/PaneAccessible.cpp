#include "pane/PaneAccessible.h"

#include "pane/TextPane.h"

namespace {

QAccessibleInterface *paneFactory(const QString &className, QObject *object)
{
    if (className != QLatin1String("TextPane") || QAccessible::isActive())
        return nullptr;
    return new PaneAccessible(*static_cast<TextPane *>(object));
}

} // namespace

void PaneAccessible::install()
{
    // Qt asks the factory installed last first, so this one is asked before QScintilla's, which
    // the first QScintilla widget installed.
    static const bool installed = (QAccessible::installFactory(paneFactory), true);
    Q_UNUSED(installed);
}

PaneAccessible::PaneAccessible(TextPane &pane) : QAccessibleWidget(&pane, QAccessible::EditableText)
{}

TextPane &PaneAccessible::pane() const
{
    return *static_cast<TextPane *>(widget());
}

long PaneAccessible::send(unsigned int message, long wParam, long lParam) const
{
    return pane().SendScintilla(message, static_cast<unsigned long>(wParam), lParam);
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
    return send(QsciScintillaBase::SCI_GETSELECTIONEMPTY) ? 0 : 1;
}

void PaneAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void PaneAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        send(QsciScintillaBase::SCI_SETEMPTYSELECTION, send(QsciScintillaBase::SCI_GETCURRENTPOS));
}

void PaneAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0)
        return;
    send(QsciScintillaBase::SCI_SETSEL, long(pane().bytePosition(startOffset)),
         long(pane().bytePosition(endOffset)));
}

int PaneAccessible::cursorPosition() const
{
    return int(pane().indexOfBytePosition(send(QsciScintillaBase::SCI_GETCURRENTPOS)));
}

void PaneAccessible::setCursorPosition(int position)
{
    send(QsciScintillaBase::SCI_GOTOPOS, long(pane().bytePosition(position)));
}

QString PaneAccessible::text(int startOffset, int endOffset) const
{
    const qsizetype start = pane().bytePosition(startOffset);
    const qsizetype end = pane().bytePosition(endOffset);
    return end > start ? QString::fromUtf8(pane().utf8Text().sliced(start, end - start))
                       : QString();
}

int PaneAccessible::characterCount() const
{
    return int(pane().textLength());
}

QRect PaneAccessible::characterRect(int offset) const
{
    const long position = long(pane().bytePosition(offset));
    const QPoint topLeft(int(send(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, position)),
                         int(send(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0, position)));
    const long next = send(QsciScintillaBase::SCI_POSITIONAFTER, position);
    const int width = int(send(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, next)) - topLeft.x();
    const int height = int(send(QsciScintillaBase::SCI_TEXTHEIGHT,
                                send(QsciScintillaBase::SCI_LINEFROMPOSITION, position)));
    return QRect(pane().viewport()->mapToGlobal(topLeft), QSize(qMax(width, 1), height));
}

int PaneAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPoint local = pane().viewport()->mapFromGlobal(point);
    const long position = send(QsciScintillaBase::SCI_POSITIONFROMPOINTCLOSE, local.x(), local.y());
    return position < 0 ? -1 : int(pane().indexOfBytePosition(position));
}

void PaneAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    send(QsciScintillaBase::SCI_SCROLLRANGE, long(pane().bytePosition(endIndex)),
         long(pane().bytePosition(startIndex)));
}

QString PaneAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    // One look for the whole text.
    Q_UNUSED(offset);
    *startOffset = 0;
    *endOffset = characterCount();
    return QString();
}
