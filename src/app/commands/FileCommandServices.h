#pragma once

#include <QtGlobal>
#include <functional>
#include <optional>

class FileDialog;
class MessageBoxes;
class WindowPointer;

// What the load and save buttons work with besides the panes.
struct FileCommandServices
{
    FileDialog &dialog;
    MessageBoxes &messages;
    WindowPointer &pointer;
    std::function<std::optional<qint64>()> availableMemory;
};
