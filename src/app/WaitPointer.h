#pragma once

#include "app/WindowPointer.h"

// Shows the wait pointer on the window for as long as an operation runs, on every path out.
// Operations nest: one started during another's yield (a load clicked while a comparison runs)
// finds the wait pointer shown and leaves it to the outer operation, which alone puts the
// default back. Nothing but an operation shows the wait pointer, and mouse moves never replace
// it, so finding it shown means that an outer operation is running.
class WaitPointer
{
public:
    explicit WaitPointer(WindowPointer &pointer)
        : pointer_(pointer), outermost_(pointer.mousePointer() != PointerCode::Wait)
    {
        pointer_.setMousePointer(PointerCode::Wait);
    }
    ~WaitPointer()
    {
        if (outermost_)
            pointer_.setMousePointer(PointerCode::Default);
    }

    WaitPointer(const WaitPointer &) = delete;
    WaitPointer &operator=(const WaitPointer &) = delete;

private:
    WindowPointer &pointer_;
    const bool outermost_;
};
