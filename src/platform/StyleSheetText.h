#pragma once

#include <QString>
#include <QStringList>

// Checks on the text of a Qt style sheet, without a widget. These are not a full parse: they
// catch files that are plainly no style sheet (prose, a program, a cut-off file) so that a
// skin which cannot work is refused with a reason instead of being ignored silently.
namespace StyleSheetText {

// Empty when `sheet` looks like a style sheet: one or more rules "selectors { declarations }",
// with comments and strings closed, braces balanced and nothing but comments outside the
// rules. Otherwise the first problem, as a phrase that completes "... because".
QString problem(const QString &sheet);

// Makes every relative url(...) reference absolute within `folder`. Absolute paths and
// resources (":/...") stay as they are.
QString withUrlsIn(const QString &sheet, const QString &folder);

// Drops the declarations of the given properties (letter case ignored) from the rules; the same
// words in selectors, comments and strings stay.
QString withoutProperties(const QString &sheet, const QStringList &properties);

} // namespace StyleSheetText
