#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

// The user's own edits of a pane, to be undone and redone. Each step is one replacement of
// bytes; characters typed one after the other join the step before them, as a text box undoes
// a typed word at once. The text and colours set by the program are never steps: setting them
// forgets the history, so no step reaches back past them.
class UndoHistory
{
public:
    struct Step
    {
        qsizetype start = 0;
        QByteArray removed;
        QByteArray inserted;
        // The selection before the step.
        qsizetype anchor = 0;
        qsizetype caret = 0;
        bool typing = false;
    };

    void clear();
    void record(Step step);
    bool canUndo() const { return done_ > 0; }
    bool canRedo() const { return done_ < steps_.size(); }
    // The step to take back, or to take again; the history moves past it.
    std::optional<Step> undo();
    std::optional<Step> redo();

private:
    QList<Step> steps_;
    qsizetype done_ = 0;
};
