#pragma once

#include <QColor>

// The colour the panes draw marked text in, whatever the palette, and tell screen readers of.
inline const QColor markColour{255, 0, 0};
