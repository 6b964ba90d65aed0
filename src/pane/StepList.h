#pragma once

#include <QtGlobal>

#include <algorithm>
#include <span>
#include <type_traits>
#include <vector>

// How an item of a StepList moves when the text before it grows or shrinks by delta bytes. In
// unsigned arithmetic, so that a narrow position that lacks a step may wrap below zero for a
// while: it comes back in range once the step is added.
template <typename T> struct StepShift
{
    static T apply(T value, qint64 delta)
    {
        using Unsigned = std::make_unsigned_t<T>;
        return T(Unsigned(value) + Unsigned(delta));
    }
};

// A sorted list of items placed at byte positions of a text (line starts, block starts, ranges),
// with one pending shift, as text editors keep their line partitions: every item from stepFrom_
// on still lacks step_. Typing at one place only grows the step; an edit elsewhere first moves
// the step's edge there, which costs the items in between, never the whole list.
template <typename T> class StepList
{
public:
    qsizetype size() const { return qsizetype(items_.size()); }
    bool isEmpty() const { return items_.empty(); }

    T operator[](qsizetype i) const
    {
        return i < stepFrom_ ? items_[size_t(i)] : StepShift<T>::apply(items_[size_t(i)], step_);
    }

    // How many items from the front satisfy holds, which must hold for a prefix of the list.
    template <typename Holds> qsizetype countWhere(Holds holds) const
    {
        qsizetype low = 0;
        qsizetype high = size();
        while (low < high) {
            const qsizetype middle = low + (high - low) / 2;
            if (holds((*this)[middle]))
                low = middle + 1;
            else
                high = middle;
        }
        return low;
    }

    void assign(std::vector<T> items)
    {
        items_ = std::move(items);
        stepFrom_ = size();
        step_ = 0;
    }

    // The items, every step applied; the list is left empty.
    std::vector<T> take()
    {
        applyStepTo(size());
        std::vector<T> items = std::move(items_);
        assign({});
        return items;
    }

    // Replaces the items from first to last with items, given where they are now.
    void replace(qsizetype first, qsizetype last, std::span<const T> items)
    {
        if (stepFrom_ < last)
            applyStepTo(last);
        const auto count = qsizetype(items.size());
        const auto at = items_.begin() + first;
        if (count <= last - first) {
            std::copy(items.begin(), items.end(), at);
            items_.erase(at + count, items_.begin() + last);
        } else {
            std::copy(items.begin(), items.begin() + (last - first), at);
            items_.insert(items_.begin() + last, items.begin() + (last - first), items.end());
        }
        stepFrom_ += count - (last - first);
    }

    // Moves every item from index from on by delta.
    void shift(qsizetype from, qint64 delta)
    {
        if (delta == 0 || from >= size())
            return;
        if (step_ == 0) {
            stepFrom_ = from;
        } else if (from >= stepFrom_) {
            applyStepTo(from);
        } else if (stepFrom_ - from <= size() / 10) {
            // Near the step's edge: taking the step back from the few items in between is
            // cheaper than adding it to all the rest.
            for (qsizetype i = from; i < stepFrom_; ++i)
                items_[size_t(i)] = StepShift<T>::apply(items_[size_t(i)], -step_);
            stepFrom_ = from;
        } else {
            applyStepTo(size());
            stepFrom_ = from;
        }
        step_ += delta;
    }

private:
    void applyStepTo(qsizetype end)
    {
        if (step_ != 0) {
            for (qsizetype i = stepFrom_; i < end; ++i)
                items_[size_t(i)] = StepShift<T>::apply(items_[size_t(i)], step_);
        }
        stepFrom_ = end;
        if (stepFrom_ >= size())
            step_ = 0;
    }

    std::vector<T> items_;
    qsizetype stepFrom_ = 0;
    qint64 step_ = 0;
};
