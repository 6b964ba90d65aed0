#pragma once

#include "platform/LineNumberDialog.h"

// Qt's own input dialog with a spin box, which keeps the number within the text's lines.
class QtLineNumberDialog : public LineNumberDialog
{
public:
    std::optional<qsizetype> askLine(QWidget *parent, qsizetype current,
                                     qsizetype lastLine) override;
};
