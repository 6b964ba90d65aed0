#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The text of a pane: UTF-8 with every line break CR LF, kept so that the comparisons can read
// all of it without a copy, the view can find any line at once, and the user's edits cost the
// edit and the index, never the whole text.
//
// Lines: the text is cut at every CR LF, and the text after the last break is a line too, empty
// or not, so an empty text has one empty line.
//
// Indexes are 0-based UTF-16 indexes into the text as one QString, a line break counting as two.
// An index between CR and LF, or between the two halves of a surrogate pair, stands for the
// position after that line break or character. A byte position inside a UTF-8 sequence maps to
// the index after that character. Every mapping is logarithmic in the text's size or better.
class TextStore
{
public:
    TextStore();
    ~TextStore();
    TextStore(const TextStore &) = delete;
    TextStore &operator=(const TextStore &) = delete;

    // Replaces the whole text. The bytes must be valid UTF-8 whose only line breaks are CR LF.
    void setText(QByteArray crlfUtf8);
    // The whole text, contiguous and without a copy; valid until the next change. The first call
    // after an edit moves the text after the edit once (the store keeps a gap where the user
    // types), so this is no call for another thread while the store is in use.
    QByteArrayView bytes() const;
    // The whole text as an array of its own that later changes leave alone: shared, not copied,
    // while the store holds no gap, as after setText().
    QByteArray sharedBytes() const;
    // Size in bytes, and as a QString.
    qsizetype size() const;
    qsizetype utf16Size() const;

    qsizetype lineCount() const;
    // Byte position of the line's first byte, and of its CR (or the end of the text). A line
    // outside the text stands for the first or the last.
    qsizetype lineStart(qsizetype line) const;
    qsizetype lineEnd(qsizetype line) const;
    // The line that holds a byte position; the CR LF belongs to the line it ends, size() to the
    // last line.
    qsizetype lineOfPosition(qsizetype position) const;
    // The bytes from start to end, and the same as text; start and end on character boundaries.
    QByteArray slice(qsizetype start, qsizetype end) const;
    QString text(qsizetype start, qsizetype end) const;

    // Clamped to the text: an index below 0 maps to 0, one past the end to size().
    qsizetype positionOfIndex(qsizetype index) const;
    qsizetype indexOfPosition(qsizetype position) const;

    // Replaces the bytes from start to end with text, valid UTF-8 whose only breaks are CR LF.
    // start and end lie on character boundaries and split no CR LF; outside the text they are
    // clamped to it.
    void replace(qsizetype start, qsizetype end, QByteArrayView crlfUtf8);

private:
    class Private;
    Private *d;
};
