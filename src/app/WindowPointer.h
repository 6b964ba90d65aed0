#pragma once

#include "app/PointerStates.h"

// The window's mouse pointer, as the commands behind its buttons set it.
class WindowPointer
{
public:
    virtual ~WindowPointer() = default;

    virtual PointerCode mousePointer() const = 0;
    virtual void setMousePointer(PointerCode code) = 0;
};
