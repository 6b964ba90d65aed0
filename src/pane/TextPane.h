#pragma once

#include "compare/TextRange.h"
#include "pane/TwipsGeometry.h"

#include <QList>
#include <QPlainTextEdit>

class QTextBlock;

// One of the window's four text panes. Its text is always seen as one string in which every
// line break is CR LF, and every index (selection, colouring) is a 0-based index into that
// string, a line break counting as two characters. Mapping an index to the document is
// logarithmic in the number of lines, so colouring many ranges stays cheap on big texts.
class TextPane : public QPlainTextEdit, public TwipsGeometry
{
    Q_OBJECT

public:
    explicit TextPane(QWidget *parent = nullptr);

    QString text() const;
    // Replaces the whole content as plain text. CR LF, a lone CR and a lone LF each become one
    // line break.
    void setText(const QString &text);
    // Length of text() without building it.
    qsizetype textLength() const;

    qsizetype selStart() const;
    void setSelStart(qsizetype index);
    qsizetype selLength() const;
    void setSelLength(qsizetype length);
    void setSelColor(const QColor &colour);

    void colorRanges(const QList<TextRange> &ranges, const QColor &colour);
    QColor colorAt(qsizetype index) const;

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
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    int documentPosition(qsizetype index) const;
    qsizetype indexOf(int documentPosition) const;
    QTextBlock blockAtIndex(qsizetype index) const;
    bool assignTwips(float &field, float value, bool valid);
    void placeInPixels();
    template <typename Edit> void editWithoutUndo(Edit edit);

    float left_ = 0;
    float top_ = 0;
    float width_ = 0;
    float height_ = 0;
};
