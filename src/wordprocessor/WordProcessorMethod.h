#pragma once

#include <QString>

class AutomationRegistry;
class MessageBoxes;
class SourceTexts;

// The word-processor method: hands the two source texts to the word processor, which merges them
// into a new document showing the differences as tracked changes and is then left open for the
// user.
class WordProcessorMethod
{
public:
    WordProcessorMethod(AutomationRegistry &automation, MessageBoxes &messages);

    // True when a running word processor can be reached and reports the genuine product name;
    // every failure counts as not running.
    bool isRunning();
    // True when the word processor is running and the user chose not to go on.
    bool cancelForRunningInstance();
    // Starts the word processor, opens firstPath, merges secondPath into a new document and shows
    // it. False when a call failed; the user has then been told why, and the word processor,
    // unless it was being shown, has been asked to quit without saving.
    bool compareFiles(const QString &firstPath, const QString &secondPath);

    // The words button with this method, between setting the wait pointer and clearing it. The
    // texts travel in scratch files inside a private temporary folder that is removed again on
    // every path.
    void compareTexts(SourceTexts &texts);

private:
    AutomationRegistry &automation_;
    MessageBoxes &messages_;
};
