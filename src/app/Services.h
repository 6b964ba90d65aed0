#pragma once

#include <QString>

class AutomationRegistry;
class MessageBoxes;
class SettingsStore;

// What the main window needs from the platform, so that tests can hand it fakes.
struct Services
{
    SettingsStore &settings;
    MessageBoxes &messages;
    // Folder of the program's executable, without a trailing separator.
    QString programFolder;
    AutomationRegistry &wordAutomation;
};
