#include "app/ComparisonSummary.h"

#include <QAccessible>
#include <QWidget>

namespace {

QString counted(qsizetype count, ComparisonKind kind)
{
    const bool lines = kind == ComparisonKind::Lines;
    const QString unit = count == 1 ? (lines ? QStringLiteral("line") : QStringLiteral("word"))
                                    : (lines ? QStringLiteral("lines") : QStringLiteral("words"));
    return QString::number(count) + u' ' + unit;
}

} // namespace

QString comparisonSummary(ComparisonKind kind, qsizetype listed1, qsizetype listed2)
{
    const bool lines = kind == ComparisonKind::Lines;
    if (listed1 == 0 && listed2 == 0)
        return lines ? QStringLiteral("No line is missing from the other text.")
                     : QStringLiteral("No word differs.");
    return QStringLiteral("%1 of text #1 and %2 of text #2 %3.")
        .arg(counted(listed1, kind), counted(listed2, kind),
             lines ? QStringLiteral("are missing from the other text") : QStringLiteral("differ"));
}

void announce(QWidget &window, const QString &text)
{
    window.setAccessibleDescription(text);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent event(&window, text);
#else
    // Without announcements, a screen reader learns of it as the description's change.
    QAccessibleEvent event(&window, QAccessible::DescriptionChanged);
#endif
    QAccessible::updateAccessibility(&event);
}
