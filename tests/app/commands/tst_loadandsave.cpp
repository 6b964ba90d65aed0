#include "PaneReading.h"
#include "TempFiles.h"
#include "TestServices.h"
#include "app/MainWindow.h"
#include "app/commands/LoadCommand.h"
#include "pane/TextPane.h"
#include "platform/AvailableMemory.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include "NewFilesRefused.h"
#endif

namespace {

const QChar nul(0);
// The panes' texts when a test starts: text #1, text #2 and the two result panes.
const QStringList filled{u"one\r\n2"_s, QString(), u"grüß € \U0001F600"_s, u"four\r\n"_s};
const QByteArray old("old\0bytes\r\xff", 11);

// A window showing the differences, with the filled texts in its panes.
struct Window
{
    TestServices env;
    MainWindow window{env.services};
    const QList<TextPane *> panes{window.textPane1, window.textPane2, window.resultPane1,
                                  window.resultPane2};

    Window()
    {
        window.select(window.differencesOnlyOption);
        for (int i = 0; i < 4; ++i)
            panes[i]->setText(filled[i]);
    }
    QStringList texts() const
    {
        return {panes[0]->text(), panes[1]->text(), panes[2]->text(), panes[3]->text()};
    }
    enum Command { save = 0, load = 2 };
    // Clicks the command's button of side 1 or 2 with the dialog answering path.
    void click(Command command, int side, const QString &path)
    {
        env.dialog.answers.enqueue(path);
        const QList<QAbstractButton *> buttons{window.saveButton1, window.saveButton2,
                                               window.loadButton1, window.loadButton2};
        buttons[command + side - 1]->click();
    }
};

// Runs the action with every write past limit bytes of a file failing, as on a full disk; 0 is
// no limit.
template <typename Action> void withFileSizeLimit(int limit, const Action &action)
{
#ifdef Q_OS_UNIX
    std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of ending the test
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit limited{limit ? rlim_t(limit) : saved.rlim_cur, saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limited);
    action();
    setrlimit(RLIMIT_FSIZE, &saved);
#else
    Q_UNUSED(limit);
    action();
#endif
}

} // namespace

class TestLoadAndSave : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loadsTheChosenFile_data();
    void loadsTheChosenFile();
    void severalFilesAreJoinedAndMissingOnesReportedInOrder();
    void loadedTextIsBlackAfterAComparison();
    void loadsUpToAQuarterOfTheFreeMemory();
    void savesTheVisiblePaneOfTheSide_data();
    void savesTheVisiblePaneOfTheSide();
#ifdef Q_OS_LINUX
    void savingKeepsTheFilesLinksAndOwner_data();
    void savingKeepsTheFilesLinksAndOwner();
#endif

private:
    // The file's path, or an empty one when it could not be written.
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = QDir::toNativeSeparators(dir_.filePath(name));
        return writeFile(path, bytes) ? path : QString();
    }

    QTemporaryDir dir_;
};

void TestLoadAndSave::loadsTheChosenFile_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QString>("paneText");
    QTest::addColumn<QString>("shownPath"); // of the one message; empty: none
    QTest::addColumn<QString>("reason");
    const auto row = [](const char *name, int side, const QString &selection,
                        const QString &paneText, const QString &shownPath = {},
                        const char *reason = "") {
        QTest::newRow(name) << side << selection << paneText << shownPath
                            << QString::fromUtf8(reason);
    };
    row("cancel", 2, QString(), filled[1]);
    // A readable file gives its text and a line break, on either side.
    int count = 0;
    const auto file = [&](const char *name, const QByteArray &bytes, const QString &paneText) {
        row(name, 1 + count++ % 2, write(QString::fromUtf8(name), bytes), paneText);
    };
    file("lf, cr lf, cr", "1\n2\r\n3\r", u"1\r\n2\r\n3\r\n\r\n"_s);
    file("empty", "", u"\r\n"_s);
    file("utf-8", "gr\xc3\xbc\xc3\x9f", u"grüß\r\n"_s);
    file("utf-8 with bom", "\xef\xbb\xbfgr\xc3\xbc", u"grü\r\n"_s);
    file("utf-16le with bom",
         QByteArray("\xff\xfe"
                    "a\0\r\0\n\0\xfc\0\x3d\xd8\x00\xde",
                    14),
         u"a\r\nü\U0001F600\r\n"_s);
    file("utf-16be with bom", QByteArray("\xfe\xff\0a\0\n\0\xfc", 8), u"a\r\nü\r\n"_s);
    file("latin-1 as windows-1252", "caf\xe9 \x80\n", u"café €\r\n\r\n"_s);
    // Even a UTF-8 sequence cut off at the end makes the whole file 8-bit.
    file("bad utf-8", "\xc3\xa9 \xc3", u"Ã© Ã\r\n"_s);

    // A folder is reported with the path that was tried, which shows how it was joined.
    const QString dir = QDir::toNativeSeparators(dir_.path()), sep = QDir::separator();
    QVERIFY(QDir(dir).mkpath(u"sub"_s));
    const QString sub = dir + sep + sep + u"sub"_s;
    row("folder, #2 joins as it is", 2, dir + sep + nul + u"sub"_s, u"\r\n"_s, sub, "folder");
    row("folder, #1 collapses in one pass", 1, dir + sep + sep + nul + u"sub"_s, u"\r\n"_s, sub,
        "folder");
    row("folder, one path is never rewritten", 1, sub, u"\r\n"_s, sub, "folder");
    const QString binary = write(u"image.bin"_s, QByteArray("\x89PNG\0\0", 6));
    row("binary", 1, binary, u"\r\n"_s, binary, "binary");
    // Sparse files: as large as they say without taking the room.
    const qint64 limit = loadLimit(availableMemory());
    const QString huge = write(u"huge.txt"_s, "");
    QVERIFY(QFile::resize(huge, limit + 1));
    row("too large", 2, huge, u"\r\n"_s, huge, "that a text can take on this computer");
    write(u"small.txt"_s, "small");
    const QString big = write(u"big.txt"_s, "");
    QVERIFY(QFile::resize(big, limit - 2));
    row("too large together", 2, dir + nul + u"small.txt"_s + nul + u"big.txt"_s, u"small\r\n"_s,
        big, "together with the files loaded before");
#ifdef Q_OS_UNIX
    const QString fifo = dir_.filePath(u"fifo"_s);
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    row("pipe", 1, fifo, u"\r\n"_s, fifo, "pipe");
#endif
#ifdef Q_OS_LINUX
    row("read error", 1, u"/proc/self/mem"_s, u"\r\n"_s, u"/proc/self/mem"_s, "cannot be read");
#endif
}

void TestLoadAndSave::loadsTheChosenFile()
{
    QFETCH(int, side);
    QFETCH(QString, selection);
    QFETCH(QString, paneText);
    QFETCH(QString, shownPath);
    QFETCH(QString, reason);
    Window w;
    w.env.dialog.setChosenPaths({u"earlier"_s});
    w.click(Window::load, side, selection);
    QStringList texts = filled;
    texts[side - 1] = paneText;
    QCOMPARE(w.texts(), texts);
    const QStringList messages = w.env.messages.texts();
    QCOMPARE(messages.size(), shownPath.isEmpty() ? 0 : 1);
    QVERIFY2(shownPath.isEmpty() ||
                 (messages[0].contains(u'"' + shownPath + u'"') && messages[0].contains(reason)),
             qPrintable(messages.join(u'\n')));
    // Switched to all lines as by a click, which stores the choice; a cancel changes nothing.
    QCOMPARE(w.window.highlightOption->isChecked() &&
                 w.env.settings.stored(u"Option1"_s) == u"True"_s,
             !selection.isEmpty());
    QCOMPARE(w.window.mousePointer(), PointerCode::Default);
    QCOMPARE(w.env.dialog.chosenPath(), selection);
    QCOMPARE(w.env.dialog.shown,
             (QList<QStringList>{
                 {u"open"_s, QString(), u"Load List(s) - Hold Ctrl to select multiple list files"_s,
                  u"Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"_s, u"280201"_s}}));
}

void TestLoadAndSave::severalFilesAreJoinedAndMissingOnesReportedInOrder()
{
    // Dropped on either side; the dialog's several files take the same way (see the folders
    // below). The last file comes from another folder (on Windows, it could be another drive)
    // and is named by its own path.
    const QTemporaryDir elsewhere;
    const QString binary = QDir::toNativeSeparators(elsewhere.filePath(u"image.bin"_s));
    QVERIFY(writeFile(binary, QByteArray("\x89PNG\0", 5)));
    for (int side : {1, 2}) {
        QMimeData data;
        QList<QUrl> urls;
        const QList<QByteArray> bytes{"alpha", "beta\n",  "", "\xef\xbb\xbfgamma\r",
                                      "delta", "\nomega", ""};
        for (const QString &name : u"a b y c d e f"_s.split(u' ')) {
            QVERIFY(name == u"y"_s || writeFile(dir_.filePath(name), bytes[urls.size()]));
            urls.append(QUrl::fromLocalFile(dir_.filePath(name)));
        }
        urls.append(QUrl::fromLocalFile(binary));
        data.setUrls(urls);
        Window w;
        QList<PointerCode> pointers;
        // While "File not found" for y is open, b must have been read already and d not yet:
        // changing b then has no effect, and removing d makes it missing too.
        w.env.messages.onShow = [&](const FakeMessageBoxes::Shown &) {
            pointers.append(w.window.mousePointer());
            if (pointers.size() == 1) {
                writeFile(dir_.filePath(u"b"_s), "changed b\n");
                QFile::remove(dir_.filePath(u"d"_s));
            }
        };
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.panes[side - 1]->viewport(), &enter);
        QDropEvent drop({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.panes[side - 1]->viewport(), &drop);
        QVERIFY(enter.isAccepted() && drop.isAccepted());
        QTRY_COMPARE(w.env.messages.texts().size(), 3);
        QCOMPARE(w.env.messages.texts().mid(0, 2), QStringList(2, u"File not found"_s));
        QVERIFY2(w.env.messages.texts()[2].startsWith(u"The file \""_s + binary + u"\" cannot"_s),
                 qPrintable(w.env.messages.texts()[2]));
        QCOMPARE(pointers, QList<PointerCode>(3, PointerCode::Wait));
        // Each file starts on a line of its own and keeps its own line breaks, even a CR at the
        // end of one and an LF at the start of the next; an empty one adds no line.
        QStringList texts = filled;
        texts[side - 1] = u"alpha\r\nbeta\r\ngamma\r\n\r\nomega\r\n"_s;
        QCOMPARE(w.texts(), texts);
        // Kept as the dialog's choice, for the save dialog to start in the folder.
        QCOMPARE(w.env.dialog.chosenPaths().size(), 8);
    }
}

void TestLoadAndSave::loadsUpToAQuarterOfTheFreeMemory()
{
    constexpr qint64 gigabyte = 1000 * 1000 * 1000;
    QCOMPARE(loadLimit(std::nullopt), gigabyte);
    QCOMPARE(loadLimit(6 * gigabyte), gigabyte);
    QCOMPARE(loadLimit(2 * gigabyte), gigabyte / 2);
    QCOMPARE(loadLimit(0), 0);
}

// A comparison turns both one-line texts red; a text loaded afterwards takes none of it.
void TestLoadAndSave::loadedTextIsBlackAfterAComparison()
{
    const QString path = write(u"new.txt"_s, "new text\n");
    Window w;
    w.window.textPane1->setText(u"apple"_s);
    w.window.textPane2->setText(u"pear"_s);
    w.window.compareLinesButton->click();
    QCOMPARE(redRanges(*w.window.textPane1) + u' ' + redRanges(*w.window.textPane2), u"0+5 0+4"_s);
    w.click(Window::load, 1, path);
    w.click(Window::load, 2, path);
    QCOMPARE(w.window.textPane1->text(), u"new text\r\n\r\n"_s);
    QCOMPARE(redRanges(*w.window.textPane1) + redRanges(*w.window.textPane2), QString());
}

void TestLoadAndSave::savesTheVisiblePaneOfTheSide_data()
{
    QTest::addColumn<int>("display"); // 1: all lines, 2: differences, 0: neither pane of the side
    QTest::addColumn<int>("side");
    QTest::addColumn<QString>("name");         // empty: the user cancels
    QTest::addColumn<QByteArray>("existing");  // empty: no file there yet
    QTest::addColumn<bool>("yes");             // to the overwrite question
    QTest::addColumn<int>("sizeLimit");        // 0: none
    QTest::addColumn<QStringList>("messages"); // how each starts, %1: the path
    QTest::addColumn<QByteArray>("bytes");     // in the file afterwards
    const auto row = [](const char *tag, int display, int side, const QByteArray &bytes,
                        const QByteArray &existing = {}, const QStringList &messages = {},
                        bool yes = true, const QString &name = u"saved.txt"_s, int sizeLimit = 0) {
        QTest::newRow(tag) << display << side << name << existing << yes << sizeLimit << messages
                           << bytes;
    };
    const QString ask = u"Are you sure you wish to overwrite %1 ?"_s,
                  failed = u"The file \"%1\" could not be saved ("_s;
    row("cancel", 2, 2, old, old, {}, true, QString());
    row("all lines, #1, overwrite", 1, 1, "one\r\n2\r\n", old, {ask});
    row("all lines, #2 empty", 1, 2, "\r\n");
    // No 8-bit code page has the emoji, so every system writes this text in UTF-8.
    row("differences, #1", 2, 1, "gr\xc3\xbc\xc3\x9f \xe2\x82\xac \xf0\x9f\x98\x80\r\n");
    row("differences, #2", 2, 2, "four\r\n\r\n");
    row("overwrite, no", 2, 2, old, old, {ask}, false);
    row("neither pane shown", 0, 1, old, old, {u"savertb problem"_s});
    row("missing folder", 1, 1, "<unreadable>", {}, {failed + u"No such file or directory"_s}, true,
        u"missing/x.txt"_s);
#ifdef Q_OS_UNIX
    // A file size limit makes the write fail part way, as a full disk would.
    row("disk full", 1, 1, old, old, {ask, failed + u"File too large"_s}, true, u"saved.txt"_s, 4);
#endif
}

void TestLoadAndSave::savesTheVisiblePaneOfTheSide()
{
    QFETCH(int, display);
    QFETCH(int, side);
    QFETCH(QString, name);
    QFETCH(QByteArray, existing);
    QFETCH(bool, yes);
    QFETCH(int, sizeLimit);
    QFETCH(QStringList, messages);
    QFETCH(QByteArray, bytes);
    const QTemporaryDir folder;
    const QString target =
        QDir::toNativeSeparators(folder.filePath(name.isEmpty() ? u"saved.txt"_s : name));
    QVERIFY(existing.isEmpty() || writeFile(target, existing));
    Window w;
    w.env.dialog.setChosenPaths({u"earlier"_s});
    w.window.select(display == 1 ? w.window.highlightOption : w.window.differencesOnlyOption);
    if (display == 0) {
        w.panes[side - 1]->hide();
        w.panes[side + 1]->hide();
    }
    w.env.messages.answers.enqueue(yes);
    std::optional<PointerCode> pointer;
    w.env.messages.onShow = [&](const auto &) { pointer = w.window.mousePointer(); };
    withFileSizeLimit(sizeLimit,
                      [&] { w.click(Window::save, side, name.isEmpty() ? QString() : target); });
    const QStringList texts = w.env.messages.texts();
    QCOMPARE(texts.size(), messages.size());
    for (int i = 0; i < texts.size(); ++i)
        QVERIFY2(texts[i].startsWith(messages[i].replace(u"%1"_s, target)), qPrintable(texts[i]));
    QCOMPARE(pointer, messages.isEmpty() ? std::nullopt : std::optional(PointerCode::Wait));
    QCOMPARE(readFile(target), bytes);
    // Nothing left beside it, and the panes keep their texts.
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QFileInfo::exists(target) ? QStringList{u"saved.txt"_s} : QStringList());
    QCOMPARE(w.texts(), filled);
    QCOMPARE(w.window.mousePointer(), PointerCode::Default);
    // The save dialog keeps the name last used.
    QCOMPARE(
        w.env.dialog.shown,
        (QList<QStringList>{{u"save"_s, u"earlier"_s, u"Save List"_s,
                             u"Text Files(*.txt)|*.txt|All Files (*.*)|*.*|"_s, u"280201"_s}}));
}

#ifdef Q_OS_LINUX
void TestLoadAndSave::savingKeepsTheFilesLinksAndOwner_data()
{
    QTest::addColumn<QString>("target"); // what is special about the file saved over
    QTest::addColumn<int>("sizeLimit");  // 0: none
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray text = "one\r\n2\r\n";
    // clang-format off
    QTest::newRow("second hard link")            << "link"     << 0 << text;
    // Written in place, a failed save leaves what got there.
    QTest::newRow("second hard link, disk full") << "link"     << 4 << text.left(4);
    QTest::newRow("no new file in the folder")   << "refusing" << 0 << text;
    QTest::newRow("no new file, disk full")      << "refusing" << 4 << text.left(4);
    QTest::newRow("another owner and group")     << "owner"    << 0 << text;
    // clang-format on
}

// An existing file keeps its other names, its owner and its group. It is written in place when
// no temporary file can be made beside it, here even for root.
void TestLoadAndSave::savingKeepsTheFilesLinksAndOwner()
{
    QFETCH(QString, target);
    QFETCH(int, sizeLimit);
    QFETCH(QByteArray, bytes);
    // The owner and group that root gives the file: no user's, so none a new file gets.
    constexpr uid_t owner = 4242;
    constexpr gid_t group = 4343;
    if (target == u"owner"_s && geteuid() != 0)
        QSKIP("only root can give a file another owner");
    const QTemporaryDir folder;
    const QString path = folder.filePath(u"saved.txt"_s), link = folder.filePath(u"link.txt"_s);
    QVERIFY(writeFile(path, old));
    const auto encoded = [](const QString &name) { return QFile::encodeName(name); };
    if (target == u"link"_s)
        QCOMPARE(::link(encoded(path).constData(), encoded(link).constData()), 0);
    if (target == u"owner"_s)
        QCOMPARE(::chown(encoded(path).constData(), owner, group), 0);
    struct stat before
    {
    }, after{};
    QCOMPARE(::stat(encoded(path).constData(), &before), 0);
    Window w;
    w.window.select(w.window.highlightOption);
    refuseNewFilesIn(target == u"refusing"_s ? folder.path() : QString());
    const auto refuseNothing = qScopeGuard([] { refuseNewFilesIn(QString()); });
    withFileSizeLimit(sizeLimit, [&] { w.click(Window::save, 1, path); });

    QCOMPARE(readFile(path), bytes);
    QCOMPARE(::stat(encoded(path).constData(), &after), 0);
    if (target == u"owner"_s)
        QCOMPARE(QList<uint>({after.st_uid, after.st_gid}), QList<uint>({owner, group}));
    else
        QCOMPARE(after.st_ino, before.st_ino);
    if (target == u"link"_s)
        QCOMPARE(readFile(link), bytes);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(),
             target == u"link"_s ? 2 : 1);
    // The overwrite question, then for a failure the reason alone: the file is not as it was.
    QStringList messages{u"Are you sure you wish to overwrite "_s + path + u" ?"_s};
    if (sizeLimit)
        messages.append(u"The file \""_s + path + u"\" could not be saved (File too large)."_s);
    QCOMPARE(w.env.messages.texts(), messages);
}
#endif

QTEST_MAIN(TestLoadAndSave)
#include "tst_loadandsave.moc"
