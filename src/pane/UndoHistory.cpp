#include "pane/UndoHistory.h"

namespace {

// Steps kept; older ones are forgotten.
constexpr qsizetype keptSteps = 1000;

} // namespace

void UndoHistory::clear()
{
    steps_.clear();
    done_ = 0;
}

void UndoHistory::record(Step step)
{
    steps_.resize(done_);
    if (step.typing && step.removed.isEmpty() && !steps_.isEmpty()) {
        Step &last = steps_.last();
        if (last.typing && last.start + last.inserted.size() == step.start) {
            last.inserted += step.inserted;
            return;
        }
    }
    steps_.append(std::move(step));
    if (steps_.size() > keptSteps)
        steps_.removeFirst();
    done_ = steps_.size();
}

std::optional<UndoHistory::Step> UndoHistory::undo()
{
    if (!canUndo())
        return std::nullopt;
    return steps_[--done_];
}

std::optional<UndoHistory::Step> UndoHistory::redo()
{
    if (!canRedo())
        return std::nullopt;
    return steps_[done_++];
}
