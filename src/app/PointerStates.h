#pragma once

// The window's pointer codes and how mouse movements change them. No widget here: the
// window feeds in where the mouse moved and shows the code that comes out.
enum class PointerCode {
    Default = 0,
    Wait = 11, // the hourglass of an operation that takes time
    Hand = 99, // the custom pointer, over the push buttons
};

// The parts of the window whose mouse movements the pointer feedback tells apart.
enum class MouseArea {
    WindowSurface, // the window itself, outside every control
    Caption,
    DisplayOption, // highlightOption, differencesOnlyOption
    Pane,
    PushButton,
    MethodOption, // standardMethodOption, wordProcessorMethodOption
    GroupBox,
};

// The pointer code after the mouse moved over `area` while the window showed `code`. The wait
// pointer belongs to the running operation and is never replaced; a move over a push button
// shows the hand, over the group boxes and the method options nothing changes, and anywhere
// else the default pointer returns.
PointerCode pointerAfterMouseMove(PointerCode code, MouseArea area);
