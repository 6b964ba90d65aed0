#pragma once

#include "app/commands/FileCommandServices.h"
#include "pane/Side.h"

#include <QStringList>
#include <functional>
#include <optional>

class TextPane;

// The most that the files of one load may hold together, in bytes of their text as UTF-8 (the
// line breaks that join them and end the last come on top): a quarter of the memory available,
// since reading, decoding, the pane's line breaks and the pane itself may each hold a copy for a
// moment, and never more than a gigabyte, which the pane can hold with every line break doubled.
// Without a figure for the available memory, the gigabyte.
qint64 loadLimit(std::optional<qint64> availableMemory);

// A load button: the side's source pane receives the text of one or more files, ending with a
// line break, and the window switches to the display mode that shows the source panes. Several
// files are combined in their order, each starting on a new line. A missing file gets "File not
// found"; one that cannot be loaded (a folder, unreadable, binary, too large) a warning that
// names it and says why.
class LoadCommand
{
public:
    LoadCommand(Side side, TextPane &sourcePane, const FileCommandServices &services,
                std::function<void()> showSourcePanes);

    // The button: the files are chosen in the window's dialog.
    void run();
    // The files are taken as if they had been chosen in the dialog: dropped on the pane or
    // named on the command line.
    void loadFiles(const QStringList &paths);

private:
    void prepareOpenDialog();
    void load(const QStringList &paths);
    void appendFile(QByteArray &text, const QString &path, qint64 limit, qint64 &loaded);

    Side side_;
    TextPane &pane_;
    FileCommandServices services_;
    std::function<void()> showSourcePanes_;
};
