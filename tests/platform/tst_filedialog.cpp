#include "TempFiles.h"
#include "platform/QtFileDialog.h"

#include <QtTest>
#include <QtWidgets>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

// Runs show, playing the user once its file dialog is open: runs act on it, then cancels it if
// it is still open. Returns how many message boxes the dialog opened by itself (it should ask
// nothing), or -1 when no dialog opened.
int playUser(const std::function<void()> &show, const std::function<void(QFileDialog *)> &act)
{
    int strayBoxes = -1;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            ++strayBoxes;
            box->reject();
        } else if (auto *dialog = qobject_cast<QFileDialog *>(modal); dialog && strayBoxes < 0) {
            strayBoxes = 0;
            // Out of the timer's own call, so that it keeps looking while the user acts.
            QTimer::singleShot(0, dialog, [&act, dialog] {
                act(dialog);
                if (dialog->isVisible())
                    dialog->reject();
            });
        }
    });
    timer.start(10);
    show();
    return strayBoxes;
}

QLineEdit *nameEdit(QFileDialog *dialog)
{
    return dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
}

// What the user sees: title, name filters, folder, name and whether it opens or saves.
QStringList look(QFileDialog *dialog)
{
    return {dialog->windowTitle(), dialog->nameFilters().join(u'|'),
            QDir::toNativeSeparators(dialog->directory().absolutePath()), nameEdit(dialog)->text(),
            dialog->acceptMode() == QFileDialog::AcceptSave ? u"save"_s : u"open"_s};
}

// Ctrl-clicks the named files in the dialog's list of files.
void ctrlClick(QFileDialog *dialog, const QStringList &names)
{
    auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
    // The folder is read in the background.
    QTRY_VERIFY(view->model()->rowCount(view->rootIndex()) >= names.size());
    for (const QString &name : names) {
        const QModelIndexList found =
            view->model()->match(view->model()->index(0, 0, view->rootIndex()), Qt::DisplayRole,
                                 name, 1, Qt::MatchExactly);
        QVERIFY(!found.isEmpty());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          view->visualRect(found.first()).center());
    }
}

} // namespace

class TestFileDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QDir(dir_.path()).mkdir(QStringLiteral("sub")));
        for (const char *name : {"a.txt", "b.txt", "sub/c.txt"})
            QVERIFY(writeFile(dir_.filePath(QLatin1String(name)), name));
    }

    // The patterns a description shows give way to its real ones; an empty pair is skipped.
    void nameFiltersFromTheFilter()
    {
        QCOMPARE(QtFileDialog::nameFilters(u"Text Files(*.txt)|*.txt|All Files (*.*)|*.*|"_s),
                 (QStringList{u"Text Files (*.txt)"_s, u"All Files (*)"_s}));
        QCOMPARE(QtFileDialog::nameFilters(u"Texts|*.txt;*.log|Odd|||*.md"_s),
                 (QStringList{u"Texts (*.txt *.log)"_s, u"*.md"_s}));
    }

    void doubledSeparatorsAreTidied_data()
    {
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("tidied");
        // clang-format off
        QTest::newRow("network share")        << QChar(u'\\') << u"\\\\server\\share\\\\a.txt"_s << u"\\\\server\\share\\a.txt"_s;
        QTest::newRow("share, three at start") << QChar(u'\\') << u"\\\\\\x\\\\\\y"_s         << u"\\\\\\x\\\\y"_s;
        QTest::newRow("drive root")           << QChar(u'\\') << u"C:\\\\a.txt"_s                << u"C:\\a.txt"_s;
        QTest::newRow("slashes on Windows")   << QChar(u'\\') << u"//server//a"_s                 << u"//server//a"_s;
        // The root folder's own separator, doubled by the join.
        QTest::newRow("unix root")            << QChar(u'/')  << u"//a.txt"_s                     << u"/a.txt"_s;
        QTest::newRow("unix, three in a row") << QChar(u'/')  << u"/x///y"_s                      << u"/x//y"_s;
        QTest::newRow("backslashes on unix")  << QChar(u'/')  << u"\\\\x"_s                        << u"\\\\x"_s;
        // clang-format on
    }

    void doubledSeparatorsAreTidied()
    {
        QFETCH(QChar, separator);
        QFETCH(QString, path);
        QTEST(FileDialog::withoutDoubledSeparators(path, separator), "tidied");
    }

    void dialogReturnsWhatWasChosen_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<bool>("clicked"); // otherwise typed
        QTest::addColumn<QStringList>("names");
        // A typed name is taken even of a file that does not exist: the load reports it.
        QTest::newRow("open, typed")
            << false << false << QStringList{u"a.txt"_s, u"gone.txt"_s, u"b.txt"_s};
        QTest::newRow("open, ctrl-clicked") << false << true << QStringList{u"a.txt"_s, u"b.txt"_s};
        // An existing file: the dialog itself must not ask about overwriting it.
        QTest::newRow("save, the last file") << true << false << QStringList{u"c.txt"_s};
    }

    void dialogReturnsWhatWasChosen()
    {
        QFETCH(bool, save);
        QFETCH(bool, clicked);
        QFETCH(QStringList, names);
        const QString folder = native(save ? u"sub"_s : QString());
        QtFileDialog dialog;
        // As the load and save commands set it up. After several files an open dialog starts in
        // their folder with no name; the save dialog after one file shows it, in its subfolder.
        dialog.setChosenPaths(save ? QStringList{native(u"sub/c.txt"_s)}
                                   : QStringList{native(u"b.txt"_s), native(u"a.txt"_s)});
        dialog.setFlags(0x280201);
        dialog.setDialogTitle(QStringLiteral("Files"));
        dialog.setFilter(QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"));
        QStringList seen;
        const auto choose = [&](QFileDialog *shown) {
            seen = look(shown);
            if (clicked)
                ctrlClick(shown, names);
            else
                nameEdit(shown)->setText(names.size() == 1 ? names[0]
                                                           : u'"' + names.join(u"\" \""_s) + u'"');
            static_cast<QDialog *>(shown)->accept(); // as the Open button does
        };
        QCOMPARE(playUser([&] { save ? dialog.showSave() : dialog.showOpen(); }, choose), 0);
        QCOMPARE(seen, (QStringList{u"Files"_s, u"Text Files (*.txt)|All Files (*)"_s, folder,
                                    save ? u"c.txt"_s : QString(), save ? u"save"_s : u"open"_s}));
        QStringList paths;
        for (const QString &name : names)
            paths.append(folder + QDir::separator() + name);
        QCOMPARE(dialog.chosenPaths(), paths);

        // A dialog without a name starts where the last one was left, and a cancel empties it.
        dialog.clearChoice();
        playUser([&] { dialog.showOpen(); }, [&](QFileDialog *shown) { seen = look(shown); });
        QCOMPARE(seen.value(2), folder);
        QCOMPARE(dialog.chosenPaths(), QStringList());
    }

private:
    QString native(const QString &name) const
    {
        return QDir::toNativeSeparators(name.isEmpty() ? dir_.path() : dir_.filePath(name));
    }

    QTemporaryDir dir_;
};

QTEST_MAIN(TestFileDialog)
#include "tst_filedialog.moc"
