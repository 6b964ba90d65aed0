#pragma once

#include <QString>

class QWidget;

enum class ComparisonKind { Lines, Words };

// What a comparison listed, in one short sentence for a listener: how many lines (or words)
// each side's result pane holds.
QString comparisonSummary(ComparisonKind kind, qsizetype listed1, qsizetype listed2);

// Tells screen readers the text without showing anything or taking the focus: it becomes the
// window's accessible description, which a screen reader reads on request, and is announced
// where Qt has announcements (6.8 on), else sent as the description's change.
void announce(QWidget &window, const QString &text);
