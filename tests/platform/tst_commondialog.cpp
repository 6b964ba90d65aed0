#include "TempFiles.h"
#include "platform/QtCommonDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

const QChar nul(0);
constexpr int loadAndSaveFlags = 0x280201;

// Plays the user: once the file dialog is open, runs act on it, and cancels it if it is still
// open then. A message box that the dialog opens by itself (it should ask nothing) is closed
// and counted.
class User : public QObject
{
public:
    explicit User(std::function<void(QFileDialog *)> act) : act_(std::move(act))
    {
        connect(&timer_, &QTimer::timeout, this, &User::look);
        timer_.start(10);
    }
    bool acted() const { return acted_; }
    int strayBoxes() const { return strayBoxes_; }

private:
    void look()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            ++strayBoxes_;
            box->reject();
        } else if (auto *dialog = qobject_cast<QFileDialog *>(modal); dialog && !acted_) {
            acted_ = true;
            // Out of the timer's own call, so that it keeps looking while the user acts.
            QTimer::singleShot(0, this, [this, dialog] {
                act_(dialog);
                if (dialog->isVisible())
                    dialog->reject();
            });
        }
    }

    std::function<void(QFileDialog *)> act_;
    QTimer timer_;
    bool acted_ = false;
    int strayBoxes_ = 0;
};

// Types text over the name in the dialog's name field, which has the focus meanwhile.
void type(QFileDialog *dialog, const QString &text)
{
    auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    QApplication::setActiveWindow(dialog);
    edit->setFocus();
    QVERIFY(edit->hasFocus());
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

QString typed(QFileDialog *dialog)
{
    return dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text();
}

// Presses the dialog's Open or Save button; false when it cannot be pressed, in which case the
// dialog is cancelled.
bool press(QFileDialog *dialog)
{
    auto *box = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
    QPushButton *button =
        box->button(dialog->acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save
                                                                    : QDialogButtonBox::Open);
    if (!button->isEnabled()) {
        dialog->reject();
        return false;
    }
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
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
    void selectionStringNamesTheChosenFiles_data();
    void selectionStringNamesTheChosenFiles();
    void nameFiltersFollowTheFilter_data();
    void nameFiltersFollowTheFilter();
    void openDialogIsSetUpFromTheProperties();
    void openDialogReturnsWhatWasChosen_data();
    void openDialogReturnsWhatWasChosen();
    void saveDialogStartsFromTheFileName_data();
    void saveDialogStartsFromTheFileName();
    void dialogWithoutANameStartsWhereTheLastOneWasLeft();

private:
    QString native(const QString &name) const
    {
        return QDir::toNativeSeparators(name.isEmpty() ? dir_.path() : dir_.filePath(name));
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

void TestCommonDialog::selectionStringNamesTheChosenFiles_data()
{
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QString>("selection");
    QTest::newRow("none") << QStringList{} << QString();
    QTest::newRow("one") << QStringList{dir_.filePath("a.txt")} << native("a.txt");
    QTest::newRow("several, in their order")
        << QStringList{dir_.filePath("b.txt"), dir_.filePath("a.txt")}
        << native("") + nul + "b.txt" + nul + "a.txt";
    QTest::newRow("another folder")
        << QStringList{dir_.filePath("a.txt"), dir_.filePath("sub/c.txt")}
        << native("") + nul + "a.txt" + nul + QDir::toNativeSeparators("sub/c.txt");
    QTest::newRow("root keeps its separator")
        << QStringList{QDir::rootPath() + "x", QDir::rootPath() + "y"}
        << QDir::toNativeSeparators(QDir::rootPath()) + nul + "x" + nul + "y";
}

void TestCommonDialog::selectionStringNamesTheChosenFiles()
{
    QFETCH(QStringList, paths);
    QFETCH(QString, selection);
    QCOMPARE(CommonDialog::selectionString(paths), selection);
}

void TestCommonDialog::nameFiltersFollowTheFilter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("nameFilters");
    QTest::newRow("load") << "Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"
                          << QStringList{"Text Files (*.txt)", "All Files (*)"};
    QTest::newRow("save") << "Text Files(*.txt)|*.txt|All Files (*.*)|*.*|"
                          << QStringList{"Text Files (*.txt)", "All Files (*)"};
    QTest::newRow("several patterns") << "Texts|*.txt;*.log" << QStringList{"Texts (*.txt *.log)"};
    QTest::newRow("no description") << "|*.md" << QStringList{"*.md"};
    QTest::newRow("description without patterns") << "Odd|" << QStringList{};
    QTest::newRow("empty") << "" << QStringList{};
}

void TestCommonDialog::nameFiltersFollowTheFilter()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, nameFilters);
    QCOMPARE(QtCommonDialog::nameFilters(filter), nameFilters);
}

void TestCommonDialog::openDialogIsSetUpFromTheProperties()
{
    QtCommonDialog dialog;
    dialog.setFileName(native("") + nul + "a.txt" + nul + "b.txt");
    dialog.setFlags(loadAndSaveFlags);
    dialog.setDialogTitle(QStringLiteral("Load them"));
    dialog.setFilter(QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"));
    QFileDialog seen;
    User user([&](QFileDialog *shown) {
        seen.setWindowTitle(shown->windowTitle());
        seen.setNameFilters(shown->nameFilters());
        seen.setAcceptMode(shown->acceptMode());
        seen.setDirectory(shown->directory());
        seen.selectFile(typed(shown));
        shown->reject();
    });
    dialog.showOpen();
    QVERIFY(user.acted());
    QCOMPARE(seen.windowTitle(), "Load them");
    QCOMPARE(seen.nameFilters(), (QStringList{"Text Files (*.txt)", "All Files (*)"}));
    QCOMPARE(seen.acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(seen.directory(), QDir(dir_.path()));
    QCOMPARE(dialog.fileName(), QString());
    QCOMPARE(dialog.dialogTitle(), "Load them");
    QCOMPARE(dialog.flags(), loadAndSaveFlags);
}

void TestCommonDialog::openDialogReturnsWhatWasChosen_data()
{
    QTest::addColumn<QStringList>("clicked");
    QTest::addColumn<QString>("typedText");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("one typed file") << QStringList{} << "a.txt" << native("a.txt");
    QTest::newRow("typed name of a missing file")
        << QStringList{} << "new.txt" << native("new.txt");
    QTest::newRow("several typed")
        << QStringList{} << "\"b.txt\" \"a.txt\"" << native("") + nul + "b.txt" + nul + "a.txt";
    QTest::newRow("several typed, one missing")
        << QStringList{} << "\"a.txt\" \"gone.txt\" \"b.txt\""
        << native("") + nul + "a.txt" + nul + "gone.txt" + nul + "b.txt";
    QTest::newRow("two ctrl-clicked")
        << QStringList{"a.txt", "b.txt"} << "" << native("") + nul + "a.txt" + nul + "b.txt";
}

void TestCommonDialog::openDialogReturnsWhatWasChosen()
{
    QFETCH(QStringList, clicked);
    QFETCH(QString, typedText);
    QFETCH(QString, fileName);
    QtCommonDialog dialog;
    dialog.setFileName(native("") + nul + "b.txt");
    dialog.setFlags(loadAndSaveFlags);
    bool pressed = false;
    User user([&](QFileDialog *shown) {
        ctrlClick(shown, clicked);
        if (!typedText.isEmpty())
            type(shown, typedText);
        pressed = press(shown);
    });
    dialog.showOpen();
    QVERIFY(user.acted());
    QVERIFY(pressed);
    QCOMPARE(user.strayBoxes(), 0);
    QCOMPARE(dialog.fileName(), fileName);
}

void TestCommonDialog::saveDialogStartsFromTheFileName_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("name");
    QTest::newRow("the last file") << native("sub/c.txt") << native("sub") << "c.txt";
    QTest::newRow("after several files")
        << native("sub") + nul + "c.txt" + nul + "d.txt" << native("sub") << "";
}

void TestCommonDialog::saveDialogStartsFromTheFileName()
{
    QFETCH(QString, fileName);
    QFETCH(QString, directory);
    QFETCH(QString, name);
    QtCommonDialog dialog;
    dialog.setFileName(fileName);
    dialog.setFlags(loadAndSaveFlags);
    QString seenDirectory;
    QString seenName;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    User user([&](QFileDialog *shown) {
        seenDirectory = QDir::toNativeSeparators(shown->directory().absolutePath());
        seenName = typed(shown);
        mode = shown->acceptMode();
        // An existing file: the dialog itself must not ask about overwriting it.
        type(shown, QStringLiteral("c.txt"));
        QVERIFY(press(shown));
    });
    dialog.showSave();
    QVERIFY(user.acted());
    QCOMPARE(seenDirectory, directory);
    QCOMPARE(seenName, name);
    QCOMPARE(mode, QFileDialog::AcceptSave);
    QCOMPARE(user.strayBoxes(), 0);
    QCOMPARE(dialog.fileName(), native("sub/c.txt"));
}

void TestCommonDialog::dialogWithoutANameStartsWhereTheLastOneWasLeft()
{
    QtCommonDialog dialog;
    dialog.setFileName(native("sub/c.txt"));
    User first([](QFileDialog *shown) { QVERIFY(press(shown)); });
    dialog.showOpen();
    QCOMPARE(dialog.fileName(), native("sub/c.txt"));

    dialog.setFileName(QString());
    QString seenDirectory;
    User second([&](QFileDialog *shown) {
        seenDirectory = QDir::toNativeSeparators(shown->directory().absolutePath());
        shown->reject();
    });
    dialog.showOpen();
    QVERIFY(second.acted());
    QCOMPARE(seenDirectory, native("sub"));
    QCOMPARE(dialog.fileName(), QString());
}

QTEST_MAIN(TestCommonDialog)
#include "tst_commondialog.moc"
