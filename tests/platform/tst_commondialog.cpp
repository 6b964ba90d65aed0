#include "TempFiles.h"
#include "platform/QtCommonDialog.h"

#include <QtTest>
#include <QtWidgets>
#include <functional>

namespace {

const QChar nul(0);

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
    return {dialog->windowTitle(), dialog->nameFilters().join('|'),
            QDir::toNativeSeparators(dialog->directory().absolutePath()), nameEdit(dialog)->text(),
            dialog->acceptMode() == QFileDialog::AcceptSave ? "save" : "open"};
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

class TestCommonDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void severalFilesInTheRootKeepItsSeparator();
    void nameFiltersFollowTheFilter_data();
    void nameFiltersFollowTheFilter();
    void openDialogReturnsWhatWasChosen_data();
    void openDialogReturnsWhatWasChosen();
    void saveDialogStartsFromTheFileName_data();
    void saveDialogStartsFromTheFileName();

private:
    QString native(const QString &name) const
    {
        return QDir::toNativeSeparators(name.isEmpty() ? dir_.path() : dir_.filePath(name));
    }
    // A dialog as the load and save commands set it up, starting from fileName.
    void setUp(QtCommonDialog &dialog, const QString &fileName)
    {
        dialog.setFileName(fileName);
        dialog.setFlags(0x280201);
        dialog.setDialogTitle(QStringLiteral("Files"));
        dialog.setFilter(QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"));
    }

    QTemporaryDir dir_;
};

void TestCommonDialog::initTestCase()
{
    QVERIFY(writeFile(dir_.filePath("a.txt"), "a"));
    QVERIFY(writeFile(dir_.filePath("b.txt"), "b"));
    QVERIFY(QDir(dir_.path()).mkdir(QStringLiteral("sub")));
    QVERIFY(writeFile(dir_.filePath("sub/c.txt"), "c"));
}

void TestCommonDialog::severalFilesInTheRootKeepItsSeparator()
{
    QCOMPARE(CommonDialog::selectionString({QDir::rootPath() + "x", QDir::rootPath() + "y"}),
             QDir::toNativeSeparators(QDir::rootPath()) + nul + "x" + nul + "y");
}

void TestCommonDialog::nameFiltersFollowTheFilter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("nameFilters");
    QTest::newRow("save") << "Text Files(*.txt)|*.txt|All Files (*.*)|*.*|"
                          << QStringList{"Text Files (*.txt)", "All Files (*)"};
    QTest::newRow("several patterns") << "Texts|*.txt;*.log" << QStringList{"Texts (*.txt *.log)"};
    QTest::newRow("no description") << "|*.md" << QStringList{"*.md"};
    QTest::newRow("description without patterns") << "Odd|" << QStringList{};
}

void TestCommonDialog::nameFiltersFollowTheFilter()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, nameFilters);
    QCOMPARE(QtCommonDialog::nameFilters(filter), nameFilters);
}

void TestCommonDialog::openDialogReturnsWhatWasChosen_data()
{
    QTest::addColumn<QStringList>("clicked");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("fileName"); // empty: the user cancels
    QTest::newRow("cancel") << QStringList{} << ""
                            << "";
    QTest::newRow("typed name of a missing file")
        << QStringList{} << "new.txt" << native("new.txt");
    QTest::newRow("several typed, one missing")
        << QStringList{} << "\"a.txt\" \"gone.txt\" \"b.txt\""
        << native("") + nul + "a.txt" + nul + "gone.txt" + nul + "b.txt";
    QTest::newRow("two ctrl-clicked")
        << QStringList{"a.txt", "b.txt"} << "" << native("") + nul + "a.txt" + nul + "b.txt";
}

void TestCommonDialog::openDialogReturnsWhatWasChosen()
{
    QFETCH(QStringList, clicked);
    QFETCH(QString, typed);
    QFETCH(QString, fileName);
    QtCommonDialog dialog;
    // After several files the dialog starts in their folder, with no name.
    setUp(dialog, native("") + nul + "b.txt" + nul + "c.txt");
    QStringList seen;
    const int strayBoxes = playUser([&] { dialog.showOpen(); },
                                    [&](QFileDialog *shown) {
                                        seen = look(shown);
                                        ctrlClick(shown, clicked);
                                        if (!typed.isEmpty())
                                            nameEdit(shown)->setText(typed);
                                        // As the Open button does; a refusal shows a box.
                                        if (!fileName.isEmpty())
                                            static_cast<QDialog *>(shown)->accept();
                                    });
    QCOMPARE(strayBoxes, 0);
    QCOMPARE(seen,
             (QStringList{"Files", "Text Files (*.txt)|All Files (*)", native(""), "", "open"}));
    QCOMPARE(dialog.fileName(), fileName);
}

void TestCommonDialog::saveDialogStartsFromTheFileName_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("name");
    QTest::newRow("the last file") << native("sub/c.txt") << "c.txt";
    QTest::newRow("after several files") << native("sub") + nul + "c.txt" + nul + "d.txt"
                                         << "";
}

void TestCommonDialog::saveDialogStartsFromTheFileName()
{
    QFETCH(QString, fileName);
    QFETCH(QString, name);
    QtCommonDialog dialog;
    setUp(dialog, fileName);
    QStringList seen;
    // An existing file: the dialog itself must not ask about overwriting it.
    QCOMPARE(playUser([&] { dialog.showSave(); },
                      [&](QFileDialog *shown) {
                          seen = look(shown);
                          nameEdit(shown)->setText(QStringLiteral("c.txt"));
                          static_cast<QDialog *>(shown)->accept();
                      }),
             0);
    QCOMPARE(seen, (QStringList{"Files", "Text Files (*.txt)|All Files (*)", native("sub"), name,
                                "save"}));
    QCOMPARE(dialog.fileName(), native("sub/c.txt"));

    // A dialog without a name starts where the last one was left.
    dialog.setFileName(QString());
    playUser([&] { dialog.showOpen(); }, [&](QFileDialog *shown) { seen = look(shown); });
    QCOMPARE(seen.value(2), native("sub"));
    QCOMPARE(dialog.fileName(), QString());
}

QTEST_MAIN(TestCommonDialog)
#include "tst_commondialog.moc"
