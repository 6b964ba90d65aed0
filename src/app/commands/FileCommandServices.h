#pragma once

class FileDialog;
class MessageBoxes;
class WindowPointer;

// What the load and save buttons work with besides the panes.
struct FileCommandServices
{
    FileDialog &dialog;
    MessageBoxes &messages;
    WindowPointer &pointer;
};
