#pragma once

// The two sides of the window: text #1 on the left and text #2 on the right, each with a source
// pane and the result pane that lies over it.
enum class Side { One, Two };
