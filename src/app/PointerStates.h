#pragma once

// The window's pointer codes and how mouse movements change them. No widget here: the
// window feeds in where the mouse moved and shows the code that comes out.
namespace PointerCode {
inline constexpr int standard = 0;
inline constexpr int wait = 11;
inline constexpr int hand = 99;
} // namespace PointerCode

// The parts of the window whose mouse movements the pointer feedback tells apart.
enum class MouseArea {
    WindowSurface, // the window itself, outside every control
    Caption,
    DisplayOption, // Option1, Option2
    Pane,
    PushButton,
    MethodOption, // Option3, Option4
    GroupBox,
};

// The pointer code after the mouse moved over `area` while the window showed `code`. The wait
// pointer belongs to the running operation and is never replaced; a move over a push button
// shows the hand, over the group boxes and the method options nothing changes, and anywhere
// else the default pointer returns.
int pointerAfterMouseMove(int code, MouseArea area);
