#pragma once

#include <QAccessibleWidget>

class TextPane;

// What a screen reader sees of a pane: its text, caret, selection, character count and
// rectangles, with offsets in UTF-16 code units mapped as the pane maps its indexes, through the
// text store's index, so that no question costs more than the lines it is about.
class PaneAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    // Makes the factory known to Qt; later calls do nothing.
    static void install();

    explicit PaneAccessible(TextPane &pane);

    void *interface_cast(QAccessible::InterfaceType type) override;
    // Both bases have a text(); the widget's, for the name and description, stays in reach.
    using QAccessibleWidget::text;

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

private:
    TextPane &pane() const;
};
