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

// How a comparison lets the window answer while it works. Each returns false once the window
// has been closed; the comparison then returns at once, touching nothing more.
struct ComparisonYields
{
    // Handles pending input and repaints: the user may act in the middle of the comparison.
    YieldTicker::Callback withInput;
    // Repaints and answers the window system, keeping the user's input for later, between steps
    // that must see the texts unchanged.
    YieldTicker::Callback withoutInput;
    // The time between two yields of the line comparison.
    std::chrono::milliseconds interval = YieldTicker::defaultInterval;
};

// The comparisons behind the window's two start buttons, run on its panes: the line comparison
// (both directions, yielding with input every interval of work) and the word comparison (both
// passes, yielding with input once at its start and without input between its steps). Both
// colour a pane in slices, yielding without input between two of them.
class PaneComparison
{
public:
    PaneComparison(const ComparisonPanes &panes, WindowPointer &pointer, ComparisonYields yields);

    void compareLines();
    void compareWords();

private:
    bool listMissingLines(TextPane &source, TextPane &other, TextPane &result);
    bool markUnmatchedWords(TextPane &examined, TextPane &other, TextPane &result);

    ComparisonPanes panes_;
    WindowPointer &pointer_;
    ComparisonYields yields_;
};
