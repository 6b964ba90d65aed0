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
    void filterAndSelectionStrings();
    void dialogReturnsWhatWasChosen_data();
    void dialogReturnsWhatWasChosen();

private:
    QString native(const QString &name) const
    {
        return QDir::toNativeSeparators(name.isEmpty() ? dir_.path() : dir_.filePath(name));
    }

    QTemporaryDir dir_;
};

void TestCommonDialog::initTestCase()
{
    QVERIFY(QDir(dir_.path()).mkdir(QStringLiteral("sub")));
    for (const char *name : {"a.txt", "b.txt", "sub/c.txt"})
        QVERIFY(writeFile(dir_.filePath(name), name));
}

void TestCommonDialog::filterAndSelectionStrings()
{
    QCOMPARE(QtCommonDialog::nameFilters("Text Files(*.txt)|*.txt|All Files (*.*)|*.*|"),
             (QStringList{"Text Files (*.txt)", "All Files (*)"}));
    QCOMPARE(QtCommonDialog::nameFilters("Texts|*.txt;*.log|Odd|||*.md"),
             (QStringList{"Texts (*.txt *.log)", "*.md"}));
    // Several files in the root keep its separator.
    QCOMPARE(CommonDialog::selectionString({QDir::rootPath() + "x", QDir::rootPath() + "y"}),
             QDir::toNativeSeparators(QDir::rootPath()) + nul + "x" + nul + "y");
}

void TestCommonDialog::dialogReturnsWhatWasChosen_data()
{
    // Open dialogs start in the main folder, save dialogs in its subfolder.
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("start"); // the file name it is shown with
    QTest::addColumn<QString>("shownName");
    QTest::addColumn<bool>("clicked"); // otherwise typed
    QTest::addColumn<QStringList>("names");
    const QString several = native("") + nul + "b.txt" + nul + "c.txt";
    // After several files the dialog starts in their folder, with no name. A typed name is
    // taken even of a file that does not exist: the load reports it.
    QTest::newRow("open, typed") << false << several << "" << false
                                 << QStringList{"a.txt", "gone.txt", "b.txt"};
    QTest::newRow("open, ctrl-clicked")
        << false << several << "" << true << QStringList{"a.txt", "b.txt"};
    // An existing file: the dialog itself must not ask about overwriting it.
    QTest::newRow("save, the last file")
        << true << native("sub/c.txt") << "c.txt" << false << QStringList{"c.txt"};
    QTest::newRow("save, after several") << true << native("sub") + nul + "c" + nul + "d"
                                         << "" << false << QStringList{"c.txt"};
}

void TestCommonDialog::dialogReturnsWhatWasChosen()
{
    QFETCH(bool, save);
    QFETCH(QString, start);
    QFETCH(QString, shownName);
    QFETCH(bool, clicked);
    QFETCH(QStringList, names);
    const QString folder = native(save ? "sub" : "");
    QtCommonDialog dialog;
    // As the load and save commands set it up.
    dialog.setFileName(start);
    dialog.setFlags(0x280201);
    dialog.setDialogTitle(QStringLiteral("Files"));
    dialog.setFilter(QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"));
    QStringList seen;
    QCOMPARE(playUser([&] { save ? dialog.showSave() : dialog.showOpen(); },
                      [&](QFileDialog *shown) {
                          seen = look(shown);
                          if (clicked)
                              ctrlClick(shown, names);
                          else
                              nameEdit(shown)->setText(
                                  names.size() == 1 ? names[0] : '"' + names.join("\" \"") + '"');
                          static_cast<QDialog *>(shown)->accept(); // as the Open button does
                      }),
             0);
    QCOMPARE(seen, (QStringList{"Files", "Text Files (*.txt)|All Files (*)", folder, shownName,
                                save ? "save" : "open"}));
    QCOMPARE(dialog.fileName(), names.size() == 1 ? folder + QDir::separator() + names[0]
                                                  : folder + nul + names.join(nul));

    // A dialog without a name starts where the last one was left, and a cancel empties it.
    dialog.setFileName(QString());
    playUser([&] { dialog.showOpen(); }, [&](QFileDialog *shown) { seen = look(shown); });
    QCOMPARE(seen.value(2), folder);
    QCOMPARE(dialog.fileName(), QString());
}

QTEST_MAIN(TestCommonDialog)
#include "tst_commondialog.moc"
