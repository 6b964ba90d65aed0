#pragma once

class TwipsGeometry;

// Shares the window's width between the two sides and lays each result pane exactly over the
// source pane of its side. outerWidth is the window's width in twips, frame included. Each
// assignment stands on its own: one the pane rejects is skipped and the rest go on with the
// values the panes still have.
void placePanes(float outerWidth, TwipsGeometry &source1, TwipsGeometry &source2,
                TwipsGeometry &result1, TwipsGeometry &result2);
