#pragma once

#include <QtGlobal>
#include <optional>

class QWidget;

// The small modal dialog that asks for a line number to go to. Behind an interface so that
// tests can answer it instead of blocking.
class LineNumberDialog
{
public:
    virtual ~LineNumberDialog() = default;

    // A number from 1 to lastLine, offering current; nothing when the user cancels. An answer
    // outside that range is the caller's to handle.
    virtual std::optional<qsizetype> askLine(QWidget *parent, qsizetype current,
                                             qsizetype lastLine) = 0;
};
