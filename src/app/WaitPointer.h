#pragma once

#include "app/Form1.h"

// Shows the wait pointer on the window for as long as an operation runs, on every path out.
class WaitPointer
{
public:
    explicit WaitPointer(Form1 &window) : window_(window)
    {
        window_.setMousePointer(Form1::waitPointer);
    }
    ~WaitPointer() { window_.setMousePointer(Form1::defaultPointer); }

    WaitPointer(const WaitPointer &) = delete;
    WaitPointer &operator=(const WaitPointer &) = delete;

private:
    Form1 &window_;
};
