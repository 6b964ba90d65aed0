#pragma once

#include "platform/LineNumberDialog.h"

// Answers the go-to-line dialog from a script and records what it was offered.
class FakeLineNumberDialog : public LineNumberDialog
{
public:
    std::optional<qsizetype> askLine(QWidget *, qsizetype current, qsizetype lastLine) override
    {
        offeredCurrent = current;
        offeredLast = lastLine;
        ++asked;
        return answer;
    }

    std::optional<qsizetype> answer;
    qsizetype offeredCurrent = -1;
    qsizetype offeredLast = -1;
    int asked = 0;
};
