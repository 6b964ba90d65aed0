#include "app/PointerStates.h"

int pointerAfterMouseMove(int code, MouseArea area)
{
    if (code == PointerCode::wait)
        return code;
    switch (area) {
    case MouseArea::PushButton:
        return PointerCode::hand;
    case MouseArea::MethodOption:
    case MouseArea::GroupBox:
        return code;
    case MouseArea::WindowSurface:
    case MouseArea::Caption:
    case MouseArea::DisplayOption:
    case MouseArea::Pane:
        break;
    }
    return PointerCode::standard;
}
