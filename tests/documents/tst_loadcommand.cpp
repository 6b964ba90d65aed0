#include "TempFiles.h"
#include "TestServices.h"
#include "app/Form1.h"
#include "documents/LoadTextFile.h"
#include "pane/RichTextPane.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

const QChar nul(0);

struct Window
{
    TestServices env;
    Form1 form{env.services};

    QPushButton *loadButton(int side) const
    {
        return side == 1 ? form.PushButton3 : form.PushButton4;
    }
    RichTextPane *sourcePane(int side) const
    {
        return side == 1 ? form.RichTextBox1 : form.RichTextBox2;
    }
    RichTextPane *otherSourcePane(int side) const { return sourcePane(3 - side); }
    // Clicks a load button with the dialog answering selection.
    void load(int side, const QString &selection)
    {
        env.dialog.answers.enqueue(selection);
        loadButton(side)->click();
    }
};

} // namespace

class TestLoadCommand : public QObject
{
    Q_OBJECT

private slots:
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void oneFileGivesItsTextAndALineBreak_data();
    void oneFileGivesItsTextAndALineBreak();
    void severalFilesAreCombinedInOrder();
    void missingFilesAreReportedOneByOneInOrder();
    void onlyTheFirstSideCollapsesDoubledSeparators_data();
    void onlyTheFirstSideCollapsesDoubledSeparators();
    void loadingShowsTheSourcePanes();
    void filesThatCannotBeLoadedAreReported_data();
    void filesThatCannotBeLoadedAreReported();
    void filesOverTheLimitTogetherAreRefused();
    void droppedFilesLoadIntoTheirSide_data();
    void droppedFilesLoadIntoTheirSide();

private:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = QDir::toNativeSeparators(dir_.filePath(name));
        if (!writeFile(path, bytes))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    QString nativeDir() const { return QDir::toNativeSeparators(dir_.path()); }

    QTemporaryDir dir_;
};

void TestLoadCommand::cancelChangesNothing_data()
{
    QTest::addColumn<int>("side");
    QTest::newRow("text #1") << 1;
    QTest::newRow("text #2") << 2;
}

void TestLoadCommand::cancelChangesNothing()
{
    QFETCH(int, side);
    Window w;
    w.form.select(w.form.Option2);
    w.form.RichTextBox1->setText(QStringLiteral("one"));
    w.form.RichTextBox2->setText(QStringLiteral("two"));
    w.form.RichTextBox3->setText(QStringLiteral("three"));
    w.form.RichTextBox4->setText(QStringLiteral("four"));
    const QList<QString> before{w.form.RichTextBox1->text(), w.form.RichTextBox2->text(),
                                w.form.RichTextBox3->text(), w.form.RichTextBox4->text()};
    const qsizetype settingsWrites = w.env.settings.writes.size();
    w.env.dialog.setFileName(QStringLiteral("from an earlier use"));
    w.form.setMousePointer(Form1::customPointer);

    w.load(side, QString());

    QCOMPARE(w.env.dialog.shown.size(), 1);
    const FakeCommonDialog::Shown &shown = w.env.dialog.shown.first();
    QCOMPARE(shown.kind, FakeCommonDialog::Kind::Open);
    QCOMPARE(shown.fileName, QString());
    QCOMPARE(shown.dialogTitle, "Load List(s) - Hold Ctrl to select multiple list files");
    QCOMPARE(shown.filter, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*|");
    QCOMPARE(shown.flags, 0x280201);
    QCOMPARE((QList<QString>{w.form.RichTextBox1->text(), w.form.RichTextBox2->text(),
                             w.form.RichTextBox3->text(), w.form.RichTextBox4->text()}),
             before);
    QVERIFY(w.form.Option2->isChecked());
    QCOMPARE(w.env.settings.writes.size(), settingsWrites);
    QCOMPARE(w.form.mousePointer(), Form1::customPointer);
    QVERIFY(w.env.messages.shown.isEmpty());
}

void TestLoadCommand::oneFileGivesItsTextAndALineBreak_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("paneText");
    QTest::newRow("two lines, lf") << QByteArray("one\ntwo\n") << "one\r\ntwo\r\n\r\n";
    QTest::newRow("two lines, cr lf") << QByteArray("one\r\ntwo\r\n") << "one\r\ntwo\r\n\r\n";
    QTest::newRow("two lines, cr") << QByteArray("one\rtwo\r") << "one\r\ntwo\r\n\r\n";
    QTest::newRow("no final line break") << QByteArray("one\r\ntwo") << "one\r\ntwo\r\n";
    QTest::newRow("empty file") << QByteArray() << "\r\n";
    QTest::newRow("utf-8") << QByteArray("gr\xc3\xbc\xc3\x9f") << QStringLiteral("grüß\r\n");
    QTest::newRow("utf-8 with bom")
        << QByteArray("\xef\xbb\xbfgr\xc3\xbc") << QStringLiteral("grü\r\n");
    QTest::newRow("utf-16le with bom") << QByteArray("\xff\xfe"
                                                     "a\0\r\0\n\0\xfc\0",
                                                     10)
                                       << QStringLiteral("a\r\nü\r\n");
    QTest::newRow("utf-16be with bom")
        << QByteArray("\xfe\xff\0a\0\n\0\xfc", 8) << QStringLiteral("a\r\nü\r\n");
    QTest::newRow("latin-1 bytes") << QByteArray("caf\xe9\n") << QStringLiteral("café\r\n\r\n");
    QTest::newRow("rich text shows its characters")
        << QByteArray("{\\rtf1 {\\b bold}}") << "{\\rtf1 {\\b bold}}\r\n";
}

void TestLoadCommand::oneFileGivesItsTextAndALineBreak()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, paneText);
    const QString path = write(QStringLiteral("one.txt"), bytes);
    for (int side : {1, 2}) {
        Window w;
        w.otherSourcePane(side)->setText(QStringLiteral("other side"));
        w.load(side, path);
        QCOMPARE(w.sourcePane(side)->text(), paneText);
        QCOMPARE(w.otherSourcePane(side)->text(), "other side");
        QVERIFY(w.form.Option1->isChecked());
        QCOMPARE(w.form.mousePointer(), Form1::defaultPointer);
        QCOMPARE(w.env.dialog.fileName(), path);
        QVERIFY(w.env.messages.shown.isEmpty());
    }
}

void TestLoadCommand::severalFilesAreCombinedInOrder()
{
    write(QStringLiteral("1.txt"), "first\n");
    write(QStringLiteral("2.txt"), "second");
    write(QStringLiteral("3.txt"), "");
    write(QStringLiteral("4.txt"), "\xef\xbb\xbf"
                                   "fourth\r");
    write(QStringLiteral("5.txt"), "fifth");
    Window w;
    // An empty file has no line to end, so it adds nothing, not even a line break.
    w.load(2, nativeDir() + nul + "5.txt" + nul + "1.txt" + nul + "4.txt" + nul + "2.txt" + nul +
                  "3.txt");
    QCOMPARE(w.form.RichTextBox2->text(), "fifth\r\nfirst\r\nfourth\r\nsecond\r\n");
    QVERIFY(w.env.messages.shown.isEmpty());
}

void TestLoadCommand::missingFilesAreReportedOneByOneInOrder()
{
    const QString x = write(QStringLiteral("x.txt"), "x\n");
    const QString z = write(QStringLiteral("z.txt"), "z\n");
    write(QStringLiteral("last.txt"), "last");
    Window w;
    QList<int> pointers;
    // While "File not found" for y is open, x must have been read already and z not yet:
    // changing x then has no effect, and removing z makes it missing too.
    w.env.messages.onShow = [&](const FakeMessageBoxes::Shown &) {
        pointers.append(w.form.mousePointer());
        if (pointers.size() == 1) {
            writeFile(x, "changed x\n");
            QFile::remove(z);
        }
    };
    w.load(1, nativeDir() + nul + "x.txt" + nul + "y.txt" + nul + "z.txt" + nul + "last.txt");
    QCOMPARE(w.env.messages.texts(), (QStringList{"File not found", "File not found"}));
    QCOMPARE(w.env.messages.shown.first().kind, FakeMessageBoxes::Kind::Inform);
    QCOMPARE(pointers, (QList<int>{Form1::waitPointer, Form1::waitPointer}));
    QCOMPARE(w.form.RichTextBox1->text(), "x\r\nlast\r\n");
    QCOMPARE(w.form.mousePointer(), Form1::defaultPointer);
    QVERIFY(w.form.Option1->isChecked());
}

void TestLoadCommand::onlyTheFirstSideCollapsesDoubledSeparators_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<QString>("reportedPath");
    // A folder is reported with the path that was tried, which shows how it was joined.
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("sub")));
    const QString sep = QDir::separator();
    QTest::newRow("text #1") << 1 << nativeDir() + sep + "sub";
    QTest::newRow("text #2") << 2 << nativeDir() + sep + sep + "sub";
}

void TestLoadCommand::onlyTheFirstSideCollapsesDoubledSeparators()
{
    QFETCH(int, side);
    QFETCH(QString, reportedPath);
    Window w;
    w.load(side, nativeDir() + QDir::separator() + nul + "sub");
    QCOMPARE(w.env.messages.shown.size(), 1);
    QVERIFY2(w.env.messages.shown.first().text.contains('"' + reportedPath + '"'),
             qPrintable(w.env.messages.shown.first().text));
}

void TestLoadCommand::loadingShowsTheSourcePanes()
{
    const QString path = write(QStringLiteral("new.txt"), "new text");
    Window w;
    w.form.select(w.form.Option2);
    w.form.RichTextBox1->setText(QStringLiteral("old text"));
    w.form.RichTextBox1->colorRanges({{0, 3}}, Qt::red);
    w.form.RichTextBox3->setText(QStringLiteral("result #1"));
    w.form.RichTextBox4->setText(QStringLiteral("result #2"));
    w.form.RichTextBox2->setText(QStringLiteral("text #2"));

    w.load(1, path);

    QVERIFY(w.form.Option1->isChecked());
    QCOMPARE(w.env.settings.stored("Option1"), "True");
    QCOMPARE(w.env.settings.stored("Option2"), "False");
    QVERIFY(!w.form.RichTextBox1->isHidden());
    QVERIFY(!w.form.RichTextBox2->isHidden());
    QVERIFY(w.form.RichTextBox3->isHidden());
    QVERIFY(w.form.RichTextBox4->isHidden());
    QCOMPARE(w.form.RichTextBox1->text(), "new text\r\n");
    QVERIFY(w.form.RichTextBox1->colorAt(0) != QColor(Qt::red));
    QCOMPARE(w.form.RichTextBox2->text(), "text #2");
    QCOMPARE(w.form.RichTextBox3->text(), "result #1");
    QCOMPARE(w.form.RichTextBox4->text(), "result #2");
}

void TestLoadCommand::filesThatCannotBeLoadedAreReported_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("missing");
    QTest::newRow("typed name of a missing file")
        << QDir::toNativeSeparators(dir_.filePath("typed.txt")) << "" << true;
    QTest::newRow("folder") << nativeDir() << "folder" << false;
    QTest::newRow("binary") << write(QStringLiteral("image.bin"), QByteArray("\x89PNG\0\0", 6))
                            << "binary" << false;
    // Sparse: as large as it says without taking the room.
    const QString huge = write(QStringLiteral("huge.txt"), "");
    QVERIFY(QFile::resize(huge, maxLoadBytes + 1));
    QTest::newRow("too large") << huge << "more than the 64 MB" << false;
#ifdef Q_OS_UNIX
    const QString fifo = dir_.filePath("fifo");
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QTest::newRow("pipe") << fifo << "pipe" << false;
#endif
#ifdef Q_OS_LINUX
    QTest::newRow("read error") << QStringLiteral("/proc/self/mem") << "cannot be read" << false;
#endif
}

void TestLoadCommand::filesThatCannotBeLoadedAreReported()
{
    QFETCH(QString, path);
    QFETCH(QString, reason);
    QFETCH(bool, missing);
    Window w;
    w.form.RichTextBox1->setText(QStringLiteral("earlier text"));
    int pointer = -1;
    w.env.messages.onShow = [&](const FakeMessageBoxes::Shown &) {
        pointer = w.form.mousePointer();
    };
    w.load(1, path);
    QCOMPARE(w.env.messages.shown.size(), 1);
    const FakeMessageBoxes::Shown &message = w.env.messages.shown.first();
    if (missing) {
        QCOMPARE(message.kind, FakeMessageBoxes::Kind::Inform);
        QCOMPARE(message.text, "File not found");
    } else {
        QCOMPARE(message.kind, FakeMessageBoxes::Kind::Warn);
        QVERIFY2(message.text.contains('"' + path + '"') && message.text.contains(reason),
                 qPrintable(message.text));
    }
    QCOMPARE(pointer, Form1::waitPointer);
    QCOMPARE(w.form.RichTextBox1->text(), "\r\n");
    QVERIFY(w.form.Option1->isChecked());
    QCOMPARE(w.form.mousePointer(), Form1::defaultPointer);
}

void TestLoadCommand::filesOverTheLimitTogetherAreRefused()
{
    write(QStringLiteral("small.txt"), "small");
    // Sparse: under the limit alone, over it after the small file.
    const QString big = write(QStringLiteral("big.txt"), "");
    QVERIFY(QFile::resize(big, maxLoadBytes - 2));
    Window w;
    w.load(2, nativeDir() + nul + "small.txt" + nul + "big.txt");
    QCOMPARE(w.env.messages.shown.size(), 1);
    QVERIFY2(w.env.messages.shown.first().text.contains("together with the files loaded before"),
             qPrintable(w.env.messages.shown.first().text));
    QCOMPARE(w.form.RichTextBox2->text(), "small\r\n");
}

void TestLoadCommand::droppedFilesLoadIntoTheirSide_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("paneText");
    write(QStringLiteral("a.txt"), "alpha");
    write(QStringLiteral("b.txt"), "beta\n");
    QTest::newRow("one file on text #1") << 1 << QStringList{"a.txt"} << "alpha\r\n";
    QTest::newRow("one file on text #2") << 2 << QStringList{"b.txt"} << "beta\r\n\r\n";
    QTest::newRow("two files on text #2")
        << 2 << QStringList{"b.txt", "a.txt"} << "beta\r\nalpha\r\n";
}

void TestLoadCommand::droppedFilesLoadIntoTheirSide()
{
    QFETCH(int, side);
    QFETCH(QStringList, names);
    QFETCH(QString, paneText);
    Window w;
    w.form.select(w.form.Option2);
    w.otherSourcePane(side)->setText(QStringLiteral("untouched"));
    QList<QUrl> urls;
    for (const QString &name : names)
        urls.append(QUrl::fromLocalFile(dir_.filePath(name)));
    QMimeData data;
    data.setUrls(urls);
    QWidget *target = w.sourcePane(side)->viewport();
    const QPoint at(5, 5);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    QVERIFY(drop.isAccepted());

    QTRY_COMPARE(w.sourcePane(side)->text(), paneText);
    QCOMPARE(w.otherSourcePane(side)->text(), "untouched");
    QVERIFY(w.form.Option1->isChecked());
    QCOMPARE(w.env.dialog.fileName().split(nul).size(), names.size() == 1 ? 1 : names.size() + 1);
    QVERIFY(w.env.dialog.shown.isEmpty());
}

QTEST_MAIN(TestLoadCommand)
#include "tst_loadcommand.moc"
