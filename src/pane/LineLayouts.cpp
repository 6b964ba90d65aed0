#include "pane/LineLayouts.h"
#include "pane/MarkColour.h"

#include "pane/MarkedRanges.h"
#include "pane/TextStore.h"
#include "pane/Utf8Text.h"

#include <QFontMetricsF>
#include <algorithm>

namespace {

// A piece is cut after a space found this many characters past its nominal start, if any.
constexpr int spaceSearch = 48;
// Wider than any piece; with the alignment absolute left, a line starts at 0 whatever its
// direction.
constexpr qreal layoutWidth = 4.0e6;

// Control characters and the characters QTextLayout would take for line breaks, shown as
// pictures of themselves instead of being dropped or breaking the line.
void showControls(QString &text)
{
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 && u != u'\t')
            c = QChar(char16_t(0x2400 + u));
        else if (u == 0x7f)
            c = QChar(char16_t(0x2421));
        else if (u == 0x85 || u == 0x2028)
            c = QChar(char16_t(0x2424));
        else if (u == 0x2029)
            c = QChar(char16_t(0x00b6));
    }
}

} // namespace

LineLayouts::LineLayouts(const TextStore &store, const MarkedRanges &marks)
    : store_(store), marks_(marks)
{
    option_.setWrapMode(QTextOption::NoWrap);
    option_.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    option_.setTextDirection(Qt::LayoutDirectionAuto);
}

void LineLayouts::setFont(const QFont &font)
{
    font_ = font;
    option_.setTabStopDistance(8 * QFontMetricsF(font).horizontalAdvance(u' '));
    clear();
}

void LineLayouts::clear()
{
    cache_.clear();
    longLines_.clear();
    preeditPosition_ = -1;
    preedit_.clear();
}

void LineLayouts::clearLayouts()
{
    cache_.clear();
}

void LineLayouts::lineChanged(qsizetype line, qsizetype from)
{
    forgetLine(line);
    const auto found = longLines_.find(line);
    if (found == longLines_.end())
        return;
    // The pieces before the edit keep their measures, so the part of the line on screen stays
    // where it was.
    LongLine &info = *found;
    const qsizetype keep = std::max<qsizetype>(0, (from - info.start) / pieceBytes - 1);
    info.end = store_.lineEnd(line);
    const qsizetype pieces = pieceCount(line);
    info.widths.resize(pieces, -1);
    std::fill(info.widths.begin() + std::min(keep, pieces), info.widths.end(), -1);
    if (pieces == 1)
        longLines_.erase(found);
}

void LineLayouts::forgetLine(qsizetype line)
{
    const QList<quint64> keys = cache_.keys();
    for (const quint64 key : keys) {
        if (key >> 24 == quint64(line))
            cache_.remove(key);
    }
}

void LineLayouts::setPreedit(qsizetype position, const QString &text)
{
    for (const qsizetype at : {preeditPosition_, position}) {
        if (at < 0)
            continue;
        forgetLine(store_.lineOfPosition(at));
    }
    preeditPosition_ = text.isEmpty() ? -1 : position;
    preedit_ = text;
}

int LineLayouts::pieceCount(qsizetype line) const
{
    const qsizetype length = store_.lineEnd(line) - store_.lineStart(line);
    return length <= wholeLineBytes ? 1 : int((length + pieceBytes - 1) / pieceBytes);
}

qsizetype LineLayouts::boundary(qsizetype lineStart, qsizetype lineEnd, int index) const
{
    if (index == 0)
        return lineStart;
    const qsizetype nominal = lineStart + index * pieceBytes;
    if (nominal >= lineEnd)
        return lineEnd;
    // A position inside a character maps to the index after it: the next character's start.
    const qsizetype first = store_.indexOfPosition(nominal);
    const qsizetype start = store_.positionOfIndex(first);
    const qsizetype end = std::min(lineEnd, store_.positionOfIndex(first + spaceSearch));
    if (start >= lineEnd)
        return lineEnd;
    const QByteArray near = store_.slice(start, end);
    const qsizetype space = near.indexOf(' ');
    return space < 0 ? start : start + space + 1;
}

LineLayouts::Piece LineLayouts::piece(qsizetype line, int index)
{
    const qsizetype start = store_.lineStart(line);
    const qsizetype end = store_.lineEnd(line);
    const int count = pieceCount(line);
    if (count == 1)
        return {start, end, 0, 0};
    index = std::clamp(index, 0, count - 1);
    const LongLine &info = longLine(line);
    qreal x = 0;
    for (int before = 0; before < index; ++before)
        x += widthOf(info, before);
    return {boundary(start, end, index), boundary(start, end, index + 1), x, index};
}

LineLayouts::Piece LineLayouts::pieceOf(qsizetype line, qsizetype position)
{
    const int count = pieceCount(line);
    if (count == 1)
        return piece(line, 0);
    const qsizetype start = store_.lineStart(line);
    const qsizetype end = store_.lineEnd(line);
    int index = int(std::clamp<qsizetype>((position - start) / pieceBytes, 0, count - 1));
    while (index > 0 && boundary(start, end, index) > position)
        --index;
    while (index + 1 < count && boundary(start, end, index + 1) <= position)
        ++index;
    return piece(line, index);
}

LineLayouts::Piece LineLayouts::pieceAtX(qsizetype line, qreal x)
{
    const int count = pieceCount(line);
    if (count == 1)
        return piece(line, 0);
    const LongLine &info = longLine(line);
    qreal left = 0;
    int index = 0;
    for (; index + 1 < count; ++index) {
        const qreal width = widthOf(info, index);
        if (left + width > x)
            break;
        left += width;
    }
    return piece(line, index);
}

qreal LineLayouts::lineWidth(qsizetype line)
{
    const int count = pieceCount(line);
    if (count == 1) {
        const Piece whole = piece(line, 0);
        return layout(line, whole).lineAt(0).horizontalAdvance();
    }
    const LongLine &info = longLine(line);
    qreal width = 0;
    for (int index = 0; index < count; ++index)
        width += widthOf(info, index);
    return width;
}

bool LineLayouts::measure(qsizetype line, qreal from, qreal to)
{
    const int count = pieceCount(line);
    if (count == 1)
        return false;
    bool measured = false;
    for (Piece at = pieceAtX(line, from);; at = piece(line, at.index + 1)) {
        measured = measured || longLine(line).widths[at.index] < 0;
        const qreal right = at.x + layout(line, at).lineAt(0).horizontalAdvance();
        if (at.index + 1 >= count || right > to)
            break;
    }
    return measured;
}

LineLayouts::LongLine &LineLayouts::longLine(qsizetype line)
{
    const auto found = longLines_.find(line);
    if (found != longLines_.end())
        return *found;
    // Only the long lines near the screen are kept.
    if (longLines_.size() > 64)
        longLines_.clear();
    LongLine info;
    info.start = store_.lineStart(line);
    info.end = store_.lineEnd(line);
    info.widths.fill(-1, pieceCount(line));
    const qsizetype firstEnd = boundary(info.start, info.end, 1);
    QTextLayout *first = makeLayout(line, info.start, firstEnd);
    info.widths[0] = first->lineAt(0).horizontalAdvance();
    info.perByte = info.widths[0] / qreal(std::max<qsizetype>(1, firstEnd - info.start));
    cache_.insert(keyOf(line, 0), first);
    return *longLines_.insert(line, info);
}

qreal LineLayouts::widthOf(const LongLine &info, int index) const
{
    if (info.widths[index] >= 0)
        return info.widths[index];
    const qsizetype last = info.widths.size() - 1;
    const qsizetype bytes = index < last ? pieceBytes : (info.end - info.start) - last * pieceBytes;
    return info.perByte * qreal(bytes);
}

const QTextLayout &LineLayouts::layout(qsizetype line, const Piece &piece)
{
    const quint64 key = keyOf(line, piece.index);
    if (QTextLayout *cached = cache_.object(key))
        return *cached;
    QTextLayout *made = makeLayout(line, piece.start, piece.end);
    if (pieceCount(line) > 1)
        longLine(line).widths[piece.index] = made->lineAt(0).horizontalAdvance();
    cache_.insert(key, made);
    return *made;
}

QTextLayout *LineLayouts::makeLayout(qsizetype line, qsizetype start, qsizetype end)
{
    const QByteArray bytes = store_.slice(start, end);
    QString text = QString::fromUtf8(bytes);
    showControls(text);
    auto *layout = new QTextLayout(text, font_);
    layout->setTextOption(option_);
    layout->setCacheEnabled(true);

    QList<QTextLayout::FormatRange> formats;
    QTextCharFormat red;
    red.setForeground(markColour);
    qsizetype done = 0;
    int units = 0;
    for (const TextRange &range : marks_.within(start, end)) {
        const qsizetype from = range.start - start;
        units += int(Utf8Text::utf16Units(QByteArrayView(bytes).sliced(done, from - done)));
        const int length =
            int(Utf8Text::utf16Units(QByteArrayView(bytes).sliced(from, range.length)));
        formats.append({units, length, red});
        units += length;
        done = from + range.length;
    }
    layout->setFormats(formats);

    const bool lineEnd = end == store_.lineEnd(line);
    if (preeditPosition_ >= start &&
        (preeditPosition_ < end || (preeditPosition_ == end && lineEnd))) {
        layout->setPreeditArea(
            int(Utf8Text::utf16Units(QByteArrayView(bytes).first(preeditPosition_ - start))),
            preedit_);
    }
    layout->beginLayout();
    QTextLine textLine = layout->createLine();
    textLine.setLineWidth(layoutWidth);
    textLine.setPosition(QPointF(0, 0));
    layout->endLayout();
    return layout;
}

int LineLayouts::offsetOf(const Piece &piece, qsizetype position) const
{
    position = std::clamp(position, piece.start, piece.end);
    return int(store_.indexOfPosition(position) - store_.indexOfPosition(piece.start));
}

qsizetype LineLayouts::positionOf(const Piece &piece, int offset) const
{
    const qsizetype position = store_.positionOfIndex(store_.indexOfPosition(piece.start) + offset);
    return std::clamp(position, piece.start, piece.end);
}
