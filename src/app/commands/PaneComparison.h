#pragma once

#include "compare/YieldTicker.h"

class TextPane;
class WindowPointer;

// The panes a comparison reads and fills: the two source panes and the result pane of each side.
struct ComparisonPanes
{
    TextPane &source1;
    TextPane &source2;
    TextPane &result1;
    TextPane &result2;
};

// The comparisons behind the window's two start buttons, run on its panes: the line comparison
// (both directions, yielding to the event loop every interval of work) and the word comparison
// (both passes, yielding once at its start). Both return at once, touching nothing more, when a
// yield reports that the window has been closed.
class PaneComparison
{
public:
    // yield lets the window handle pending input and returns false once it has been closed;
    // interval is the time between two yields of the line comparison.
    PaneComparison(const ComparisonPanes &panes, WindowPointer &pointer,
                   YieldTicker::Callback yield,
                   std::chrono::milliseconds interval = YieldTicker::defaultInterval);

    void compareLines();
    void compareWords();

private:
    bool listMissingLines(TextPane &source, TextPane &other, TextPane &result);

    ComparisonPanes panes_;
    WindowPointer &pointer_;
    YieldTicker::Callback yield_;
    std::chrono::milliseconds interval_;
};
