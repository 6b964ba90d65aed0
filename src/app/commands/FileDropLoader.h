#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class TextPane;

// Lets files from a file manager be dropped on a source pane, which then loads them as if they
// had been chosen in its open dialog. Other drags (text) are left to the pane, which refuses
// them, as the result panes refuse every drag.
class FileDropLoader : public QObject
{
public:
    using Load = std::function<void(const QStringList &paths)>;

    // Owned by the pane.
    FileDropLoader(TextPane &sourcePane, Load load);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Load load_;
};
