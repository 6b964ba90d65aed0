#include "platform/QtFileDialog.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QRegularExpression>

namespace {

// Qt lets several files be chosen only in a mode that refuses a typed name of a missing file,
// so the dialog runs in the mode that takes any name, with extended selection in its views.
void allowSeveralFiles(QFileDialog &dialog)
{
    for (const char *name : {"listView", "treeView"})
        if (auto *view = dialog.findChild<QAbstractItemView *>(QLatin1String(name)))
            view->setSelectionMode(QAbstractItemView::ExtendedSelection);
}

// The names typed as "a" "b", in the dialog's folder. Qt itself reports only those of them
// that exist.
QStringList typedNames(const QFileDialog &dialog)
{
    const auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    if (!edit)
        return {};
    const QStringList tokens = edit->text().split(QLatin1Char('"'));
    const QDir folder = dialog.directory();
    QStringList paths;
    for (qsizetype i = 1; i < tokens.size(); i += 2)
        paths.append(folder.absoluteFilePath(tokens[i]));
    return paths;
}

} // namespace

QStringList QtFileDialog::nameFilters(const QString &filter)
{
    // Qt reads a filter's patterns from the parenthesis that ends it, so one that the
    // description shows already gives way to the real patterns.
    static const QRegularExpression shownPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        patterns.removeAll(QString());
        if (patterns.isEmpty())
            continue;
        QString description = parts[i];
        description.remove(shownPatterns);
        description = description.trimmed();
        const QString joined = patterns.join(QLatin1Char(' '));
        result.append(description.isEmpty() ? joined
                                            : description + QStringLiteral(" (") + joined + u')');
    }
    return result;
}

QString QtFileDialog::chooseToOpen()
{
    return choose(false);
}

QString QtFileDialog::chooseToSave()
{
    return choose(true);
}

QString QtFileDialog::choose(bool save)
{
    const bool several = !save && (flags() & cdlOFNAllowMultiselect);
    const bool mustExist = !save && (flags() & cdlOFNFileMustExist);
    QFileDialog dialog(window_, dialogTitle());
    // The platforms' own dialogs do not all take a missing file among several.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (mustExist)
        dialog.setFileMode(several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    else
        dialog.setFileMode(QFileDialog::AnyFile);
    if (several && !mustExist)
        allowSeveralFiles(dialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(flags() & cdlOFNOverwritePrompt));
    const QStringList filters = nameFilters(filter());
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);

    const QString start = fileName();
    if (isMultiSelection(start))
        dialog.setDirectory(start.section(QChar(0), 0, 0));
    else if (!start.isEmpty())
        dialog.selectFile(start);
    else if (!lastDirectory_.isEmpty())
        dialog.setDirectory(lastDirectory_);

    if (dialog.exec() != QDialog::Accepted)
        return QString();
    lastDirectory_ = dialog.directory().absolutePath();
    QStringList chosen = dialog.selectedFiles();
    if (several && !mustExist) {
        const QStringList typed = typedNames(dialog);
        if (typed.size() > chosen.size())
            chosen = typed;
    }
    if (chosen.isEmpty())
        return QString();
    return selectionString(several ? chosen : chosen.mid(0, 1));
}
