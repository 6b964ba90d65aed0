#include "platform/QtLineNumberDialog.h"

#include <QInputDialog>
#include <algorithm>
#include <limits>

std::optional<qsizetype> QtLineNumberDialog::askLine(QWidget *parent, qsizetype current,
                                                     qsizetype lastLine)
{
    // A spin box counts in int; no text a pane can hold has more lines than that.
    const int last = int(std::min<qsizetype>(lastLine, std::numeric_limits<int>::max()));
    bool accepted = false;
    const int line = QInputDialog::getInt(
        parent, QStringLiteral("Go to Line"), QStringLiteral("Line number (1 to %1):").arg(last),
        int(std::clamp<qsizetype>(current, 1, last)), 1, last, 1, &accepted);
    return accepted ? std::optional<qsizetype>(line) : std::nullopt;
}
