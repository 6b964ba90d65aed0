#include "TempFiles.h"
#include "TestServices.h"
#include "app/Form1.h"
#include "documents/LoadTextFile.h"
#include "pane/RichTextPane.h"

#include <QtTest>
#include <QtWidgets>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace {

const QChar nul(0);
// The panes' texts when a test starts: text #1, text #2 and the two result panes.
const QStringList filled{"one\r\n2", "", "grüß € \U0001F600", "four\r\n"};
const QByteArray old("old\0bytes\r\xff", 11);

QString nativePath(const QTemporaryDir &dir, const QString &name)
{
    return QDir::toNativeSeparators(dir.filePath(name));
}

QStringList entries(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// A window showing the differences, with the filled texts in its panes.
struct Window
{
    TestServices env;
    Form1 form{env.services};
    const QList<RichTextPane *> panes{form.RichTextBox1, form.RichTextBox2, form.RichTextBox3,
                                      form.RichTextBox4};

    Window()
    {
        form.select(form.Option2);
        for (int i = 0; i < 4; ++i)
            panes[i]->setText(filled[i]);
    }
    QStringList texts() const
    {
        QStringList result;
        for (const RichTextPane *pane : panes)
            result.append(pane->text());
        return result;
    }
    // Click a load or save button with the dialog answering path.
    void load(int side, const QString &path)
    {
        env.dialog.answers.enqueue(path);
        (side == 1 ? form.PushButton3 : form.PushButton4)->click();
    }
    void save(int side, const QString &path)
    {
        env.dialog.answers.enqueue(path);
        (side == 1 ? form.PushButton2 : form.PushButton5)->click();
    }
};

} // namespace

class TestLoadAndSave : public QObject
{
    Q_OBJECT

private slots:
    void cancelChangesNothing();
    void oneFileGivesItsTextAndALineBreak_data();
    void oneFileGivesItsTextAndALineBreak();
    void severalFilesAreJoinedAndMissingOnesReportedInOrder();
    void filesThatCannotBeLoadedAreReported_data();
    void filesThatCannotBeLoadedAreReported();
    void savesTheVisiblePaneOfTheSide_data();
    void savesTheVisiblePaneOfTheSide();
    void failedSavesAreReportedAndChangeNothing_data();
    void failedSavesAreReportedAndChangeNothing();

private:
    // The file's path, or an empty one when it could not be written.
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = nativePath(dir_, name);
        return writeFile(path, bytes) ? path : QString();
    }

    QTemporaryDir dir_;
};

void TestLoadAndSave::cancelChangesNothing()
{
    for (int side : {1, 2}) {
        Window w;
        w.env.dialog.setFileName(QStringLiteral("from an earlier use"));
        w.form.setMousePointer(Form1::customPointer);
        w.save(side, QString());
        w.load(side, QString());
        // The save dialog keeps the name; the open dialog starts without one.
        QCOMPARE(w.env.dialog.shown,
                 (QList<QStringList>{{"save", "from an earlier use", "Save List",
                                      "Text Files(*.txt)|*.txt|All Files (*.*)|*.*|", "280201"},
                                     {"open", "",
                                      "Load List(s) - Hold Ctrl to select multiple list files",
                                      "Text Files (*.txt)|*.txt|All Files (*.*)|*.*|", "280201"}}));
        QCOMPARE(w.texts(), filled);
        QVERIFY(w.form.Option2->isChecked());
        QCOMPARE(w.form.mousePointer(), Form1::customPointer);
        QVERIFY(w.env.messages.shown.isEmpty());
    }
}

void TestLoadAndSave::oneFileGivesItsTextAndALineBreak_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("paneText");
    QTest::newRow("lf") << QByteArray("one\ntwo\n") << "one\r\ntwo\r\n\r\n";
    QTest::newRow("cr lf") << QByteArray("one\r\ntwo\r\n") << "one\r\ntwo\r\n\r\n";
    QTest::newRow("cr") << QByteArray("one\rtwo\r") << "one\r\ntwo\r\n\r\n";
    QTest::newRow("no final line break") << QByteArray("one\r\ntwo") << "one\r\ntwo\r\n";
    QTest::newRow("empty") << QByteArray() << "\r\n";
    QTest::newRow("utf-8") << QByteArray("gr\xc3\xbc\xc3\x9f") << "grüß\r\n";
    QTest::newRow("utf-8 with bom") << QByteArray("\xef\xbb\xbfgr\xc3\xbc") << "grü\r\n";
    QTest::newRow("utf-16le with bom") << QByteArray("\xff\xfe"
                                                     "a\0\r\0\n\0\xfc\0\x3d\xd8\x00\xde",
                                                     14)
                                       << "a\r\nü\U0001F600\r\n";
    QTest::newRow("utf-16be with bom") << QByteArray("\xfe\xff\0a\0\n\0\xfc", 8) << "a\r\nü\r\n";
    QTest::newRow("latin-1") << QByteArray("caf\xe9 \xa0\xff\n") << "café \u00a0ÿ\r\n\r\n";
    QTest::newRow("windows-1252") << QByteArray("\x80 \x93q\x94 \x85") << "€ “q” …\r\n";
    QTest::newRow("one bad sequence: all 8-bit") << QByteArray("\xc3\xa9 \xe9") << "Ã© é\r\n";
    QTest::newRow("utf-8 cut off at the end") << QByteArray("ab\xc3") << "abÃ\r\n";
    QTest::newRow("rich text") << QByteArray("{\\rtf1 {\\b bold}}") << "{\\rtf1 {\\b bold}}\r\n";
}

void TestLoadAndSave::oneFileGivesItsTextAndALineBreak()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, paneText);
    const QString path = write(QStringLiteral("one.txt"), bytes);
    for (int side : {1, 2}) {
        Window w;
        w.load(side, path);
        QStringList texts = filled;
        texts[side - 1] = paneText;
        QCOMPARE(w.texts(), texts);
        // Switched to all lines as by a click, which stores the choice.
        QVERIFY(w.form.Option1->isChecked() && w.env.settings.stored("Option1") == "True");
        QCOMPARE(w.env.dialog.fileName(), path);
        QVERIFY(w.env.messages.shown.isEmpty());
    }
}

void TestLoadAndSave::severalFilesAreJoinedAndMissingOnesReportedInOrder()
{
    // Chosen in the dialog, then dropped on each side.
    for (auto [side, dropped] : {std::pair{1, false}, {1, true}, {2, true}}) {
        write(QStringLiteral("a"), "alpha");
        const QString b = write(QStringLiteral("b"), "beta\n");
        write(QStringLiteral("c"), "\xef\xbb\xbfgamma\r");
        const QString d = write(QStringLiteral("d"), "delta");
        QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("sub")));
        write(QStringLiteral("sub/e"), "omega");
        write(QStringLiteral("f"), "");
        Window w;
        QList<int> pointers;
        // While "File not found" for y is open, b must have been read already and d not yet:
        // changing b then has no effect, and removing d makes it missing too.
        w.env.messages.onShow = [&](const FakeMessageBoxes::Shown &) {
            pointers.append(w.form.mousePointer());
            if (pointers.size() == 1) {
                writeFile(b, "changed b\n");
                QFile::remove(d);
            }
        };
        const QStringList names{"a", "b", "y", "c", "d", "sub/e", "f"};
        if (!dropped)
            w.load(side, QDir::toNativeSeparators(dir_.path() + nul + names.join(nul)));
        QList<QUrl> urls;
        for (const QString &name : names)
            urls.append(QUrl::fromLocalFile(dir_.filePath(name)));
        QMimeData data; // without files when the dialog chose them, so that the pane ignores it
        data.setUrls(dropped ? urls : QList<QUrl>());
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.panes[side - 1]->viewport(), &enter);
        QDropEvent drop({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.panes[side - 1]->viewport(), &drop);
        QCOMPARE(enter.isAccepted() && drop.isAccepted(), dropped);

        QTRY_COMPARE(w.env.messages.texts(), (QStringList{"File not found", "File not found"}));
        QCOMPARE(w.env.messages.shown.first().kind, FakeMessageBoxes::Kind::Inform);
        QCOMPARE(pointers, (QList<int>{Form1::waitPointer, Form1::waitPointer}));
        // Each file starts on a line of its own; an empty one adds no line.
        QStringList texts = filled;
        texts[side - 1] = "alpha\r\nbeta\r\ngamma\r\nomega\r\n";
        QCOMPARE(w.texts(), texts);
        QCOMPARE(w.form.mousePointer(), Form1::defaultPointer);
        // Kept as a multi-selection, for the save dialog to start in the folder.
        QCOMPARE(w.env.dialog.fileName().count(nul), 7);
    }
}

void TestLoadAndSave::filesThatCannotBeLoadedAreReported_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QString>("shownPath");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("paneText");
    const auto row = [](const char *name, int side, const QString &selection,
                        const QString &shownPath, const char *reason,
                        const char *paneText = "\r\n") {
        QTest::newRow(name) << side << selection << shownPath << QString(reason)
                            << QString(paneText);
    };
    // A folder is reported with the path that was tried, which shows how it was joined.
    const QString dir = QDir::toNativeSeparators(dir_.path()), sep = QDir::separator();
    QVERIFY(QDir(dir).mkpath(QStringLiteral("sub")));
    row("folder, #2 joins as it is", 2, dir + sep + nul + "sub", dir + sep + sep + "sub", "folder");
    row("folder, #1 collapses in one pass", 1, dir + sep + sep + nul + "sub",
        dir + sep + sep + "sub", "folder");
    row("folder, one path is never rewritten", 1, dir + sep + sep + "sub", dir + sep + sep + "sub",
        "folder");
    const QString binary = write(QStringLiteral("image.bin"), QByteArray("\x89PNG\0\0", 6));
    row("binary", 1, binary, binary, "binary");
    // Sparse files: as large as they say without taking the room.
    const QString huge = write(QStringLiteral("huge.txt"), "");
    QVERIFY(QFile::resize(huge, maxLoadBytes + 1));
    row("too large", 2, huge, huge, "more than the 64 MB");
    write(QStringLiteral("small.txt"), "small");
    const QString big = write(QStringLiteral("big.txt"), "");
    QVERIFY(QFile::resize(big, maxLoadBytes - 2));
    row("too large together", 2, dir + nul + "small.txt" + nul + "big.txt", big,
        "together with the files loaded before", "small\r\n");
#ifdef Q_OS_UNIX
    const QString fifo = dir_.filePath("fifo");
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    row("pipe", 1, fifo, fifo, "pipe");
#endif
#ifdef Q_OS_LINUX
    row("read error", 1, "/proc/self/mem", "/proc/self/mem", "cannot be read");
#endif
}

void TestLoadAndSave::filesThatCannotBeLoadedAreReported()
{
    QFETCH(int, side);
    QFETCH(QString, selection);
    QFETCH(QString, shownPath);
    QFETCH(QString, reason);
    QFETCH(QString, paneText);
    Window w;
    w.load(side, selection);
    QCOMPARE(w.env.messages.shown.size(), 1);
    const FakeMessageBoxes::Shown &message = w.env.messages.shown.first();
    QCOMPARE(message.kind, FakeMessageBoxes::Kind::Warn);
    QVERIFY2(message.text.contains('"' + shownPath + '"') && message.text.contains(reason),
             qPrintable(message.text));
    // The command still ends as usual.
    QCOMPARE(w.panes[side - 1]->text(), paneText);
    QVERIFY(w.form.Option1->isChecked());
}

void TestLoadAndSave::savesTheVisiblePaneOfTheSide_data()
{
    QTest::addColumn<int>("display"); // 1: all lines, 2: differences, 0: neither pane of the side
    QTest::addColumn<int>("side");
    QTest::addColumn<QByteArray>("existing"); // empty: no file there yet
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("message"); // %1: the path
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray first("one\r\n2\r\n");
    const QString ask("Are you sure you wish to overwrite %1 ?");
    QTest::newRow("all lines, #1") << 1 << 1 << QByteArray() << true << "" << first;
    QTest::newRow("all lines, #2 empty")
        << 1 << 2 << QByteArray() << true << "" << QByteArray("\r\n");
    // No 8-bit code page has the emoji, so every system writes this text in UTF-8.
    QTest::newRow("differences, #1") << 2 << 1 << QByteArray() << true << ""
                                     << QByteArray("gr\xc3\xbc\xc3\x9f \xe2\x82\xac "
                                                   "\xf0\x9f\x98\x80\r\n");
    QTest::newRow("differences, #2")
        << 2 << 2 << QByteArray() << true << "" << QByteArray("four\r\n\r\n");
    QTest::newRow("overwrite, yes") << 1 << 1 << old << true << ask << first;
    QTest::newRow("overwrite, no") << 2 << 2 << old << false << ask << old;
    QTest::newRow("neither pane shown") << 0 << 1 << old << true << "savertb problem" << old;
}

void TestLoadAndSave::savesTheVisiblePaneOfTheSide()
{
    QFETCH(int, display);
    QFETCH(int, side);
    QFETCH(QByteArray, existing);
    QFETCH(bool, yes);
    QFETCH(QString, message);
    QFETCH(QByteArray, bytes);
    const QTemporaryDir folder;
    const QString target = nativePath(folder, QStringLiteral("saved.txt"));
    QVERIFY(existing.isEmpty() || writeFile(target, existing));
    Window w;
    w.form.select(display == 1 ? w.form.Option1 : w.form.Option2);
    if (display == 0) {
        w.panes[side - 1]->hide();
        w.panes[side + 1]->hide();
    }
    w.env.messages.answers.enqueue(yes);
    int pointer = -1;
    w.env.messages.onShow = [&](const FakeMessageBoxes::Shown &) {
        pointer = w.form.mousePointer();
    };

    w.save(side, target);

    QCOMPARE(w.env.messages.texts(),
             message.isEmpty() ? QStringList() : QStringList{message.replace("%1", target)});
    QCOMPARE(pointer, message.isEmpty() ? -1 : Form1::waitPointer);
    QCOMPARE(readFile(target), bytes);
    QCOMPARE(entries(folder), QStringList{"saved.txt"});
    QCOMPARE(w.form.mousePointer(), Form1::defaultPointer);
}

void TestLoadAndSave::failedSavesAreReportedAndChangeNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("sizeLimit"); // 0: none
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing folder") << "missing/x.txt" << 0 << "No such file or directory";
    QTest::newRow("target is a folder") << "folder" << 0 << "";
#ifdef Q_OS_UNIX
    // A file size limit makes the write fail part way, as a full disk would.
    QTest::newRow("disk full") << "old.txt" << 64 * 1024 << "(File too large)";
#endif
}

void TestLoadAndSave::failedSavesAreReportedAndChangeNothing()
{
    QFETCH(QString, name);
    QFETCH(int, sizeLimit);
    QFETCH(QString, reason);
    const QTemporaryDir folder;
    QVERIFY(writeFile(nativePath(folder, QStringLiteral("old.txt")), old));
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("folder")));
    const QStringList before = entries(folder);
    const QString target = nativePath(folder, name);
    Window w;
    w.form.select(w.form.Option1);
    w.form.RichTextBox1->setText(QString(200000, QLatin1Char('x')));
#ifdef Q_OS_UNIX
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    if (sizeLimit)
        limited.rlim_cur = sizeLimit;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    w.save(1, target);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
#else
    Q_UNUSED(sizeLimit);
    w.save(1, target);
#endif
    QCOMPARE(w.env.messages.shown.size(), QFileInfo::exists(target) ? 2 : 1);
    const FakeMessageBoxes::Shown &report = w.env.messages.shown.last();
    QCOMPARE(report.kind, FakeMessageBoxes::Kind::Warn);
    QVERIFY2(report.text.contains('"' + target + '"') && report.text.contains(reason),
             qPrintable(report.text));
    QCOMPARE(entries(folder), before);
    QCOMPARE(readFile(nativePath(folder, QStringLiteral("old.txt"))), old);
    QVERIFY(QFileInfo(nativePath(folder, QStringLiteral("folder"))).isDir());
    QCOMPARE(w.form.RichTextBox1->textLength(), 200000);
    QCOMPARE(w.form.mousePointer(), Form1::defaultPointer);
}

QTEST_MAIN(TestLoadAndSave)
#include "tst_loadandsave.moc"
