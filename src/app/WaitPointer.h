#pragma once

#include "app/WindowPointer.h"

// Shows the wait pointer on the window for as long as an operation runs, on every path out.
class WaitPointer
{
public:
    explicit WaitPointer(WindowPointer &pointer) : pointer_(pointer)
    {
        pointer_.setMousePointer(PointerCode::Wait);
    }
    ~WaitPointer() { pointer_.setMousePointer(PointerCode::Default); }

    WaitPointer(const WaitPointer &) = delete;
    WaitPointer &operator=(const WaitPointer &) = delete;

private:
    WindowPointer &pointer_;
};
