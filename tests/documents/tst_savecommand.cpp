#include "TempFiles.h"
#include "TestServices.h"
#include "app/Form1.h"
#include "pane/RichTextPane.h"

#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

struct Window
{
    TestServices env;
    Form1 form{env.services};

    Window()
    {
        form.RichTextBox1->setText(QStringLiteral("source #1\r\nline 2"));
        form.RichTextBox2->setText(QStringLiteral("source #2"));
        form.RichTextBox3->setText(QStringLiteral("result #1"));
        form.RichTextBox4->setText(QStringLiteral("result #2\r\n"));
    }
    // Clicks a save button with the dialog answering path.
    void save(int side, const QString &path)
    {
        env.dialog.answers.enqueue(path);
        (side == 1 ? form.PushButton2 : form.PushButton5)->click();
    }
};

} // namespace

class TestSaveCommand : public QObject
{
    Q_OBJECT

private slots:
    // Every test starts with an empty folder of its own.
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
    }
    void savesTheVisiblePaneOfTheSide_data();
    void savesTheVisiblePaneOfTheSide();
    void cancelSavesNothing();
    void emptyPaneWritesExactlyCrLf();
    void existingFileIsReplacedOnlyAfterYes_data();
    void existingFileIsReplacedOnlyAfterYes();
    void savingTwiceAsksTheSecondTime();
    void saveDialogStartsWithTheLoadedFile();
    void noVisiblePaneIsAProblem();
    void unwritablePathsAreReported_data();
    void unwritablePathsAreReported();
    void failedReplacementKeepsTheOldFile();
    void unixCodePageIsUtf8();

private:
    QString path(const QString &name) const
    {
        return QDir::toNativeSeparators(dir_->filePath(name));
    }
    QStringList entries() const
    {
        return QDir(dir_->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    std::unique_ptr<QTemporaryDir> dir_;
};

void TestSaveCommand::savesTheVisiblePaneOfTheSide_data()
{
    QTest::addColumn<bool>("highlightMode");
    QTest::addColumn<int>("side");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("all lines, #1") << true << 1 << QByteArray("source #1\r\nline 2\r\n");
    QTest::newRow("all lines, #2") << true << 2 << QByteArray("source #2\r\n");
    QTest::newRow("differences, #1") << false << 1 << QByteArray("result #1\r\n");
    QTest::newRow("differences, #2") << false << 2 << QByteArray("result #2\r\n\r\n");
}

void TestSaveCommand::savesTheVisiblePaneOfTheSide()
{
    QFETCH(bool, highlightMode);
    QFETCH(int, side);
    QFETCH(QByteArray, bytes);
    Window w;
    w.form.select(highlightMode ? w.form.Option1 : w.form.Option2);
    w.env.dialog.setFileName(QStringLiteral("earlier name"));
    const QString target = path(QStringLiteral("saved.txt"));

    w.save(side, target);

    QCOMPARE(w.env.dialog.shown.size(), 1);
    const FakeCommonDialog::Shown &shown = w.env.dialog.shown.first();
    QCOMPARE(shown.kind, FakeCommonDialog::Kind::Save);
    QCOMPARE(shown.fileName, "earlier name");
    QCOMPARE(shown.dialogTitle, "Save List");
    QCOMPARE(shown.filter, "Text Files(*.txt)|*.txt|All Files (*.*)|*.*|");
    QCOMPARE(shown.flags, 0x280201);
    QCOMPARE(readFile(target), bytes);
    QVERIFY(w.env.messages.shown.isEmpty());
    QCOMPARE(w.env.dialog.fileName(), target);
    QCOMPARE(w.form.mousePointer(), Form1::defaultPointer);
}

void TestSaveCommand::cancelSavesNothing()
{
    Window w;
    w.form.setMousePointer(Form1::customPointer);
    w.save(1, QString());
    QCOMPARE(w.env.dialog.shown.size(), 1);
    QVERIFY(entries().isEmpty());
    QVERIFY(w.env.messages.shown.isEmpty());
    QCOMPARE(w.form.mousePointer(), Form1::customPointer);
}

void TestSaveCommand::emptyPaneWritesExactlyCrLf()
{
    Window w;
    w.form.select(w.form.Option1);
    w.form.RichTextBox2->setText(QString());
    w.save(2, path(QStringLiteral("empty.txt")));
    QCOMPARE(readFile(path(QStringLiteral("empty.txt"))), QByteArray("\r\n"));
}

void TestSaveCommand::existingFileIsReplacedOnlyAfterYes_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("yes") << true << QByteArray("source #2\r\n");
    QTest::newRow("no") << false << QByteArray("old\0bytes\r\xff", 11);
}

void TestSaveCommand::existingFileIsReplacedOnlyAfterYes()
{
    QFETCH(bool, yes);
    QFETCH(QByteArray, bytes);
    const QString target = path(QStringLiteral("existing.txt"));
    QVERIFY(writeFile(target, QByteArray("old\0bytes\r\xff", 11)));
    Window w;
    w.form.select(w.form.Option1);
    w.env.messages.answers.enqueue(yes);
    int pointer = -1;
    w.env.messages.onShow = [&](const FakeMessageBoxes::Shown &) {
        pointer = w.form.mousePointer();
    };

    w.save(2, target);

    QCOMPARE(w.env.messages.shown.size(), 1);
    QCOMPARE(w.env.messages.shown.first().kind, FakeMessageBoxes::Kind::Ask);
    QCOMPARE(w.env.messages.shown.first().text,
             "Are you sure you wish to overwrite " + target + " ?");
    QCOMPARE(pointer, Form1::waitPointer);
    QCOMPARE(readFile(target), bytes);
    QCOMPARE(entries(), QStringList{"existing.txt"});
    QCOMPARE(w.form.mousePointer(), Form1::defaultPointer);
}

void TestSaveCommand::savingTwiceAsksTheSecondTime()
{
    const QString target = path(QStringLiteral("twice.txt"));
    Window w;
    w.save(1, target);
    QVERIFY(w.env.messages.shown.isEmpty());
    w.save(1, target);
    QCOMPARE(w.env.messages.texts(),
             QStringList{"Are you sure you wish to overwrite " + target + " ?"});
}

void TestSaveCommand::saveDialogStartsWithTheLoadedFile()
{
    const QString loaded = path(QStringLiteral("loaded.txt"));
    QVERIFY(writeFile(loaded, "loaded\n"));
    Window w;
    w.env.dialog.answers.enqueue(loaded);
    w.form.PushButton3->click();
    w.env.messages.answers.enqueue(true);
    w.save(1, w.env.dialog.fileName());
    QCOMPARE(w.env.dialog.shown.last().fileName, loaded);
    QCOMPARE(w.env.messages.texts(),
             QStringList{"Are you sure you wish to overwrite " + loaded + " ?"});
    QCOMPARE(readFile(loaded), QByteArray("loaded\r\n\r\n\r\n"));
}

void TestSaveCommand::noVisiblePaneIsAProblem()
{
    Window w;
    w.form.RichTextBox1->hide();
    w.form.RichTextBox3->hide();
    w.save(1, path(QStringLiteral("never.txt")));
    QCOMPARE(w.env.messages.shown.size(), 1);
    QCOMPARE(w.env.messages.shown.first().kind, FakeMessageBoxes::Kind::Inform);
    QCOMPARE(w.env.messages.shown.first().text, "savertb problem");
    QVERIFY(entries().isEmpty());
    QCOMPARE(w.form.mousePointer(), Form1::defaultPointer);
}

void TestSaveCommand::unwritablePathsAreReported_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("asked");
    QTest::newRow("missing folder") << "missing/x.txt" << false;
    QTest::newRow("parent is a file") << "plain/x.txt" << false;
    QTest::newRow("target is a folder") << "folder" << true;
}

void TestSaveCommand::unwritablePathsAreReported()
{
    QFETCH(QString, name);
    QFETCH(bool, asked);
    QVERIFY(writeFile(path(QStringLiteral("plain")), "plain"));
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("folder")));
    const QString target = path(name);
    Window w;
    const QStringList before = entries();
    w.save(1, target);
    const QList<FakeMessageBoxes::Shown> &shown = w.env.messages.shown;
    QCOMPARE(shown.size(), asked ? 2 : 1);
    QCOMPARE(shown.last().kind, FakeMessageBoxes::Kind::Warn);
    QVERIFY2(shown.last().text.contains('"' + target + '"'), qPrintable(shown.last().text));
    QCOMPARE(entries(), before);
    QCOMPARE(readFile(path(QStringLiteral("plain"))), QByteArray("plain"));
    QVERIFY(QFileInfo(path(QStringLiteral("folder"))).isDir());
    QCOMPARE(w.form.RichTextBox1->text(), "source #1\r\nline 2");
    QCOMPARE(w.form.mousePointer(), Form1::defaultPointer);
}

void TestSaveCommand::failedReplacementKeepsTheOldFile()
{
#ifdef Q_OS_UNIX
    const QString target = path(QStringLiteral("precious.txt"));
    const QByteArray old("precious\r\n");
    QVERIFY(writeFile(target, old));
    Window w;
    w.form.select(w.form.Option1);
    w.form.RichTextBox1->setText(QString(200000, QLatin1Char('x')));
    w.env.messages.answers.enqueue(true);

    // A file size limit makes the write fail part way, as a full disk would.
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    w.save(1, target);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QCOMPARE(w.env.messages.shown.size(), 2);
    QCOMPARE(w.env.messages.shown.last().kind, FakeMessageBoxes::Kind::Warn);
    QVERIFY(w.env.messages.shown.last().text.contains('"' + target + '"'));
    QVERIFY(w.env.messages.shown.last().text.contains(QLatin1String("(File too large)")));
    QCOMPARE(readFile(target), old);
    QCOMPARE(entries(), QStringList{"precious.txt"});
    QCOMPARE(w.form.RichTextBox1->textLength(), 200000);
    QCOMPARE(w.form.mousePointer(), Form1::defaultPointer);
#else
    QSKIP("needs a file size limit");
#endif
}

void TestSaveCommand::unixCodePageIsUtf8()
{
#ifdef Q_OS_UNIX
    Window w;
    w.form.RichTextBox3->setText(QStringLiteral("grüß € \U0001F600"));
    w.save(1, path(QStringLiteral("utf8.txt")));
    QCOMPARE(readFile(path(QStringLiteral("utf8.txt"))),
             QByteArray("gr\xc3\xbc\xc3\x9f \xe2\x82\xac \xf0\x9f\x98\x80\r\n"));
#else
    QSKIP("the code page depends on the system's settings");
#endif
}

QTEST_MAIN(TestSaveCommand)
#include "tst_savecommand.moc"
