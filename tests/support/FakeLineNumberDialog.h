#pragma once

#include "platform/LineNumberDialog.h"

#include <QList>

// Answers the go-to-line dialog from a script and records the current and the last line it
// was offered, each time it was asked.
class FakeLineNumberDialog : public LineNumberDialog
{
public:
    std::optional<qsizetype> askLine(QWidget *, qsizetype current, qsizetype lastLine) override
    {
        offered << current << lastLine;
        return answer;
    }

    std::optional<qsizetype> answer;
    QList<qsizetype> offered;
};
