#include "app/PointerStates.h"

PointerCode pointerAfterMouseMove(PointerCode code, MouseArea area)
{
    if (code == PointerCode::Wait)
        return code;
    switch (area) {
    case MouseArea::PushButton:
        return PointerCode::Hand;
    case MouseArea::MethodOption:
    case MouseArea::GroupBox:
        return code;
    case MouseArea::WindowSurface:
    case MouseArea::Caption:
    case MouseArea::DisplayOption:
    case MouseArea::Pane:
        break;
    }
    return PointerCode::Default;
}
