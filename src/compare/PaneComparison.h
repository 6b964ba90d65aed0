#pragma once

#include "compare/YieldTicker.h"

class Form1;
class RichTextPane;

// The comparisons behind the window's two start buttons, run on its panes: the line comparison
// (both directions, yielding to the event loop every interval of work) and the word comparison
// (both passes, yielding once at its start). Both return at once, touching nothing more, when a
// yield reports that the window has been closed.
class PaneComparison
{
public:
    explicit PaneComparison(Form1 &form);
    // yield replaces the window's own yield to the event loop, and interval the time between
    // two yields of the line comparison; tests use them to act at a chosen moment of a run.
    PaneComparison(Form1 &form, YieldTicker::Callback yield, std::chrono::milliseconds interval);

    void runLineComparison();
    void runWordComparison();

private:
    bool ListMissingLines(RichTextPane &source, RichTextPane &other, RichTextPane &result);

    Form1 &form_;
    YieldTicker::Callback yield_;
    std::chrono::milliseconds interval_;
};
