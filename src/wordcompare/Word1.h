#pragma once

#include <QString>

class AutomationRegistry;
class MessageBoxes;
class SourcePanes;

// The word method: hands the two source texts to the word processor, which merges them into a
// new document showing the differences as tracked changes and is then left open for the user.
class Word1
{
public:
    Word1(AutomationRegistry &automation, MessageBoxes &messages);

    // True when a running word processor can be reached and reports the genuine product name;
    // every failure counts as not running.
    bool IsWordRunning();
    // True when the word processor is running and the user chose not to go on.
    bool CancelForOpenWord();
    // Starts the word processor, opens firstPath, merges secondPath into a new document and shows
    // it. False when a call failed; the user has then been told why.
    bool CompareInWord(const QString &firstPath, const QString &secondPath);

    // The words button with the word method, between setting the wait pointer and clearing it.
    // The texts travel in scratch files inside a private temporary folder that is removed again
    // on every path.
    void compareSourcePanes(SourcePanes &panes);

private:
    AutomationRegistry &automation_;
    MessageBoxes &messages_;
};
