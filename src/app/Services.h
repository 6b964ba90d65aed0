#pragma once

#include <QString>

class AutomationRegistry;
class CommonDialog;
class MessageBoxes;
class SettingsStore;
class SkinFramework;

// What the main window needs from the platform, so that tests can hand it fakes.
struct Services
{
    SettingsStore &settings;
    MessageBoxes &messages;
    SkinFramework &skin;
    // Folder of the program's executable, without a trailing separator.
    QString programFolder;
    AutomationRegistry &wordAutomation;
    // The window's one file dialog, shared by loading and saving.
    CommonDialog &CommonDialog1;
};
