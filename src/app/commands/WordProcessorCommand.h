#pragma once

class AutomationRegistry;
class MessageBoxes;
class TextPane;
class WindowPointer;

// The words button with the word-processor method selected: hands the two source texts to the
// word processor, under the wait pointer from start to end. The panes are left as they were.
void compareInWordProcessor(const TextPane &source1, const TextPane &source2,
                            AutomationRegistry &automation, MessageBoxes &messages,
                            WindowPointer &pointer);
