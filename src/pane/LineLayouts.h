#pragma once

#include <QCache>
#include <QFont>
#include <QHash>
#include <QList>
#include <QString>
#include <QTextLayout>

class MarkedRanges;
class TextStore;

// The pane's lines as QTextLayouts, made when a line is drawn or measured and kept for the few
// lines on screen. A line of up to wholeLineBytes is laid out whole; a longer one in pieces of
// about pieceBytes, each cut after a space where one is near, so that drawing or measuring a
// part of a line of any length costs the same as a short line. The pieces of a long line stand
// side by side, each at the sum of the widths before it: measured for the pieces laid out so
// far, estimated from the bytes for the others, so the horizontal positions settle as the user
// moves along the line.
//
// Each layout carries the red ranges as format ranges. Control characters are shown as Unicode
// control pictures, one UTF-16 unit for one, so that offsets within a layout stay those of the
// text; a tab advances to the next multiple of eight spaces.
class LineLayouts
{
public:
    static constexpr qsizetype wholeLineBytes = 16 * 1024;
    static constexpr qsizetype pieceBytes = 4 * 1024;

    struct Piece
    {
        qsizetype start = 0;
        qsizetype end = 0;
        // From the start of the line.
        qreal x = 0;
        int index = 0;
    };

    LineLayouts(const TextStore &store, const MarkedRanges &marks);

    void setFont(const QFont &font);
    // After a new text: nothing kept is valid.
    void clear();
    // After new colours: the layouts go, the measured widths stay.
    void clearLayouts();
    // After an edit within one line, from the byte position on.
    void lineChanged(qsizetype line, qsizetype from);
    // Text being composed by an input method at the position, shown but not yet in the text.
    void setPreedit(qsizetype position, const QString &text);

    int pieceCount(qsizetype line) const;
    Piece piece(qsizetype line, int index);
    // The piece that holds the byte position (a position between two pieces is in the second,
    // the line's end in its last), and the one under x.
    Piece pieceOf(qsizetype line, qsizetype position);
    Piece pieceAtX(qsizetype line, qreal x);
    qreal lineWidth(qsizetype line);
    // Lays out the pieces that lie between from and to, so that the positions there hold when
    // they are drawn; whether any piece was measured for the first time.
    bool measure(qsizetype line, qreal from, qreal to);
    // The piece's layout, its single line laid out from x 0; valid until the next call.
    const QTextLayout &layout(qsizetype line, const Piece &piece);

    // Between byte positions and UTF-16 offsets within a piece.
    int offsetOf(const Piece &piece, qsizetype position) const;
    qsizetype positionOf(const Piece &piece, int offset) const;

private:
    struct LongLine
    {
        qsizetype start = 0;
        qsizetype end = 0;
        QList<qreal> widths; // negative where not yet measured
        qreal perByte = 0;
    };

    void forgetLine(qsizetype line);
    qsizetype boundary(qsizetype lineStart, qsizetype lineEnd, int index) const;
    LongLine &longLine(qsizetype line);
    qreal widthOf(const LongLine &info, int index) const;
    QTextLayout *makeLayout(qsizetype line, qsizetype start, qsizetype end);
    static quint64 keyOf(qsizetype line, int index)
    {
        return (quint64(line) << 24) | quint64(index);
    }

    const TextStore &store_;
    const MarkedRanges &marks_;
    QFont font_;
    QTextOption option_;
    QCache<quint64, QTextLayout> cache_{256};
    QHash<qsizetype, LongLine> longLines_;
    qsizetype preeditPosition_ = -1;
    QString preedit_;
};
