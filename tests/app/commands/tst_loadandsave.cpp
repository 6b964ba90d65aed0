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

// Drags the data from another program onto the middle of the widget and drops it there if the
// drag was taken, as Qt delivers it: to the window, which offers it to the widget under the
// pointer that takes drops; the move is taken when the enter was. Whether the drop was taken.
bool dragOnto(QWidget &window, QWidget &widget, const QMimeData &data)
{
    QWindow *handle = window.windowHandle();
    const QPoint at = widget.mapTo(&window, widget.rect().center());
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    move.setAccepted(enter.isAccepted());
    QCoreApplication::sendEvent(handle, &move);
    if (!move.isAccepted()) {
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(handle, &leave);
        return false;
    }
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &drop);
    return drop.isAccepted();
}

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

    // A folder is reported with the path that was tried, which shows how it was joined.
    const QString dir = QDir::toNativeSeparators(dir_.path()), sep = QDir::separator();
    QVERIFY(QDir(dir).mkpath(u"sub"_s));
    const QString sub = dir + sep + sep + u"sub"_s;
    row("folder, #2 joins as it is", 2, dir + sep + nul + u"sub"_s, u"\r\n"_s, sub, "folder");
    row("folder, #1 collapses in one pass", 1, dir + sep + sep + nul + u"sub"_s, u"\r\n"_s, sub,
        "folder");
    row("folder, one path is never rewritten", 1, sub, u"\r\n"_s, sub, "folder");
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
    QCOMPARE(w.env.dialog.chosenPath(), selection);
    QCOMPARE(w.env.dialog.shown,
             (QList<QStringList>{
                 {u"open"_s, QString(), u"Load List(s) - Hold Ctrl to select multiple list files"_s,
                  u"Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"_s, u"280201"_s}}));
}

void TestLoadAndSave::severalFilesAreJoinedAndMissingOnesReportedInOrder()
{
    // Dropped on text #2 (the soak drops on both sides); the dialog's several files take the
    // same way (see the folders above). The last file comes from another folder (on Windows, it
    // could be another drive) and is named by its own path.
    const QTemporaryDir elsewhere;
    const QString binary = QDir::toNativeSeparators(elsewhere.filePath(u"image.bin"_s));
    QVERIFY(writeFile(binary, QByteArray("\x89PNG\0", 5)));
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
    // Plain text is refused on a source pane, anything on a result pane; files on a source pane
    // are taken, and only the text area under the pointer takes drops.
    QMimeData text;
    text.setText(u"dragged text"_s);
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    QCOMPARE(dragOnto(w.window, *w.panes[2], data), false);
    w.window.select(w.window.highlightOption);
    QCOMPARE(dragOnto(w.window, *w.panes[1], text), false);
    QCOMPARE(w.window.childAt(w.panes[1]->geometry().center()), w.panes[1]->viewport());
    QVERIFY(w.panes[1]->viewport()->acceptDrops());
    QCOMPARE(dragOnto(w.window, *w.panes[1], data), true);
    QTRY_COMPARE(w.env.messages.texts().size(), 3);
    QCOMPARE(w.env.messages.texts(),
             QStringList(
                 {u"File not found"_s, u"File not found"_s,
                  u"The file \""_s + binary +
                      u"\" cannot be loaded: it holds binary data (NUL characters), not text."_s}));
    QCOMPARE(pointers, QList<PointerCode>(3, PointerCode::Wait));
    // Each file starts on a line of its own and keeps its own line breaks, even a CR at the end
    // of one and an LF at the start of the next; an empty one adds no line.
    QStringList texts = filled;
    texts[1] = u"alpha\r\nbeta\r\ngamma\r\n\r\nomega\r\n"_s;
    QCOMPARE(w.texts(), texts);
    // Kept as the dialog's choice, for the save dialog to start in the folder.
    QCOMPARE(w.env.dialog.chosenPaths().size(), 8);
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
    QTest::addColumn<QStringList>("messages"); // %1: the path
    QTest::addColumn<QByteArray>("bytes");     // in the file afterwards
    QTest::addColumn<QString>("special");      // what is special about the file saved over
    QTest::addColumn<int>("sizeLimit");        // 0: none
    QTest::addColumn<bool>("yes");             // to the overwrite question
    QTest::addColumn<QString>("name");
    const auto row = [](const char *tag, int display, int side, const QStringList &messages,
                        const QByteArray &bytes, const QString &special = {}, int sizeLimit = 0,
                        bool yes = true, const QString &name = u"saved.txt"_s) {
        QTest::newRow(tag) << display << side << messages << bytes << special << sizeLimit << yes
                           << name;
    };
    const QString ask = u"Are you sure you wish to overwrite %1 ?"_s,
                  tooLarge = u"The file \"%1\" could not be saved (File too large)."_s,
                  unchanged = u"\n\nA file that was there before is unchanged."_s;
    const QByteArray text = "one\r\n2\r\n";
    // The soak saves either side in both display modes, new files and cancels among them.
    row("all lines, #1, overwrite", 1, 1, {ask}, text);
    row("differences, #2, overwrite, no", 2, 2, {ask}, old, {}, 0, false);
    row("neither pane shown", 0, 1, {u"savertb problem"_s}, old);
    row("missing folder", 1, 1,
        {u"The file \"%1\" could not be saved (%2)."_s.arg(
             u"%1"_s, openError(dir_.filePath(u"missing/x.txt"_s), QIODevice::WriteOnly)) +
         unchanged},
        "<unreadable>", {}, 0, true, u"missing/x.txt"_s);
#ifdef Q_OS_UNIX
    // A file size limit makes the write fail part way, as a full disk would.
    row("disk full", 1, 1, {ask, tooLarge + unchanged}, old, {}, 4);
#endif
#ifdef Q_OS_LINUX
    // An existing file keeps its other names, its owner and its group. It is written in place
    // when no temporary file can be made beside it, here even for root; then a failed save
    // leaves what got there, and the message does not call the file unchanged.
    row("second hard link", 1, 1, {ask}, text, u"link"_s);
    row("second hard link, disk full", 1, 1, {ask, tooLarge}, text.left(4), u"link"_s, 4);
    row("no new file in the folder", 1, 1, {ask}, text, u"refusing"_s);
    row("no new file, disk full", 1, 1, {ask, tooLarge}, text.left(4), u"refusing"_s, 4);
    row("immutable folder", 2, 2, {ask}, "four\r\n\r\n", u"immutable"_s);
    row("another owner and group", 1, 1, {ask}, text, u"owner"_s);
#endif
}

void TestLoadAndSave::savesTheVisiblePaneOfTheSide()
{
    QFETCH(int, display);
    QFETCH(int, side);
    QFETCH(QStringList, messages);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, special);
    QFETCH(int, sizeLimit);
    QFETCH(bool, yes);
    QFETCH(QString, name);
    const QTemporaryDir folder;
    const QString target = QDir::toNativeSeparators(folder.filePath(name));
    QVERIFY(name.startsWith(u"missing/"_s) || writeFile(target, old));
#ifdef Q_OS_LINUX
    // The owner and group that root gives the file: no user's, so none a new file gets.
    constexpr uid_t owner = 4242;
    constexpr gid_t group = 4343;
    if (special == u"owner"_s && geteuid() != 0)
        QSKIP("only root can give a file another owner");
    const QByteArray path = QFile::encodeName(target),
                     link = QFile::encodeName(folder.filePath(u"link.txt"_s));
    if (special == u"link"_s)
        QCOMPARE(::link(path.constData(), link.constData()), 0);
    if (special == u"owner"_s)
        QCOMPARE(::chown(path.constData(), owner, group), 0);
    struct stat before
    {
    }, after{};
    QVERIFY(special.isEmpty() || ::stat(path.constData(), &before) == 0);
    const bool refusing = special == u"refusing"_s || special == u"immutable"_s;
    refuseNewFilesIn(refusing ? folder.path() : QString(),
                     special == u"immutable"_s ? EPERM : EACCES);
    const auto refuseNothing = qScopeGuard([] { refuseNewFilesIn(QString()); });
#endif
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
    withFileSizeLimit(sizeLimit, [&] { w.click(Window::save, side, target); });

    for (QString &message : messages)
        message.replace(u"%1"_s, target);
    QCOMPARE(w.env.messages.texts(), messages);
    QCOMPARE(pointer, std::optional(PointerCode::Wait));
    QCOMPARE(readFile(target), bytes);
#ifdef Q_OS_LINUX
    QVERIFY(special.isEmpty() || ::stat(path.constData(), &after) == 0);
    if (special == u"owner"_s)
        QCOMPARE(QList<uint>({after.st_uid, after.st_gid}), QList<uint>({owner, group}));
    else if (!special.isEmpty())
        QCOMPARE(after.st_ino, before.st_ino);
    if (special == u"link"_s)
        QCOMPARE(readFile(QFile::decodeName(link)), bytes);
#endif
    // Nothing left beside it.
    QStringList files{u"saved.txt"_s};
    if (special == u"link"_s)
        files.prepend(u"link.txt"_s);
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QFileInfo::exists(target) ? files : QStringList());
    // The save dialog keeps the name last used.
    QCOMPARE(
        w.env.dialog.shown,
        (QList<QStringList>{{u"save"_s, u"earlier"_s, u"Save List"_s,
                             u"Text Files(*.txt)|*.txt|All Files (*.*)|*.*|"_s, u"280201"_s}}));
}

QTEST_MAIN(TestLoadAndSave)
#include "tst_loadandsave.moc"
