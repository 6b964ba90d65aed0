#pragma once

#include "platform/AvailableMemory.h"

#include <QString>
#include <functional>

class AutomationRegistry;
class FileDialog;
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
    AutomationRegistry &automation;
    // The window's one file dialog, shared by loading and saving.
    FileDialog &fileDialog;
    // What the system can give the program now, from which a load takes its limit; tests set a
    // small figure so that files at the limit stay small.
    std::function<std::optional<qint64>()> availableMemory = ::availableMemory;
};
