#pragma once

class Form1;

// The words button with the word method selected: hands the two source panes to the word
// processor, under the wait pointer from start to end. The panes are left as they were.
void runWordBranch(Form1 &form);
