#include "PaneReading.h"
#include "PaneTextReference.h"
#include "TempFiles.h"
#include "TestServices.h"
#include "WindowPanes.h"
#include "app/commands/LoadCommand.h"

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
// The most a load takes here: small files reach it, and it and one byte more both round to
// 10.0 KB.
constexpr qint64 limit = 10 * 1024;

// A window showing the differences, with the filled texts in its panes.
struct Window
{
    TestServices env;
    MainWindow window{env.services};
    const std::array<TextPane *, 4> panes = panesOf(window);

    Window()
    {
        env.services.availableMemory = [] { return std::optional<qint64>(4 * limit); };
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

// Runs the action with every write past the given size of a file failing, as on a full disk; 0
// is no limit.
template <typename Action> void withFileSizeLimit(int bytes, const Action &action)
{
#ifdef Q_OS_UNIX
    std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of ending the test
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit limited{bytes ? rlim_t(bytes) : saved.rlim_cur, saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limited);
    action();
    setrlimit(RLIMIT_FSIZE, &saved);
#else
    Q_UNUSED(bytes);
    action();
#endif
}

// Lines of text of exactly the size, in bytes.
QByteArray textOfSize(qint64 size)
{
    return QByteArray("twenty-nine characters long\r\n").repeated(size / 29 + 1).left(size);
}

// What a pane shows of the files' bytes, loaded with the final line break.
QString loaded(const QByteArray &bytes)
{
    return PaneTextReference(QString::fromUtf8(bytes + '\r')).text;
}

} // namespace

class TestLoadAndSave : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loadsTheChosenFile_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QString>("paneText");
        QTest::addColumn<QString>("message"); // the one message box, if any
        const auto row = [](const char *name, int side, const QString &selection,
                            const QString &paneText, const QString &message = {}) {
            QTest::newRow(name) << side << selection << paneText << message;
        };
        const QString cannot = u"The file \"%1\" cannot be loaded: %2"_s;
        row("cancel", 2, QString(), filled[1]);
        row("missing", 1, dir_.filePath(u"gone.txt"_s), u"\r\n"_s, u"File not found"_s);

        // A folder is reported with the path that was tried, which shows how it was joined.
        const QString dir = QDir::toNativeSeparators(dir_.path()), sep = QDir::separator();
        QVERIFY(QDir(dir).mkpath(u"sub"_s));
        const QString sub = dir + sep + sep + u"sub"_s;
        const QString folder = cannot.arg(sub, u"it is a folder, not a file."_s);
        row("folder, #2 joins as it is", 2, dir + sep + nul + u"sub"_s, u"\r\n"_s, folder);
        row("folder, #1 collapses in one pass", 1, dir + sep + sep + nul + u"sub"_s, u"\r\n"_s,
            folder);
        row("folder, one path is never rewritten", 1, sub, u"\r\n"_s, folder);

        // Sizes at the limit and past it, printed as the system prints them: rounded, or in bytes
        // where rounding would make the two figures read the same.
        const QLocale locale = QLocale::system();
        const auto rounded = [&](qint64 bytes) {
            return locale.formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
        };
        const auto bytes = [&](qint64 n) { return u"%1 bytes"_s.arg(locale.toString(n)); };
        const QString tooLarge =
            u"it is %1, more than the %2 that a text can take on this computer."_s;
        const QByteArray full = textOfSize(limit);
        const QString atLimit = write(u"limit.txt"_s, full),
                      over = write(u"over.txt"_s, full + 'x'),
                      twice = write(u"twice.txt"_s, full + full);
        row("at the limit", 1, atLimit, loaded(full));
        row("one byte over", 2, over, u"\r\n"_s,
            cannot.arg(over, tooLarge.arg(bytes(limit + 1), bytes(limit))));
        row("twice the limit", 2, twice, u"\r\n"_s,
            cannot.arg(twice, tooLarge.arg(rounded(2 * limit), rounded(limit))));
        // The files' texts count, not the line break that joins them.
        write(u"small.txt"_s, "small");
        write(u"rest.txt"_s, full.left(limit - 5));
        const QString more = write(u"more.txt"_s, full.left(limit - 4));
        row("together at the limit", 1, dir + nul + u"small.txt"_s + nul + u"rest.txt"_s,
            loaded("small\r\n" + full.left(limit - 5)));
        row("together one byte over", 2, dir + nul + u"small.txt"_s + nul + u"more.txt"_s,
            u"small\r\n"_s,
            cannot.arg(more,
                       u"together with the files loaded before it, the text would be more than "
                       u"the %1 that a text can take on this computer."_s.arg(bytes(limit))));
#ifdef Q_OS_UNIX
        const QString fifo = dir_.filePath(u"fifo"_s);
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        row("pipe", 1, fifo, u"\r\n"_s,
            cannot.arg(fifo, u"it is not an ordinary file but a device, pipe or socket."_s));
#endif
#ifdef Q_OS_LINUX
        // Opens, but reading fails, with the reason the system gives.
        QFile memory(u"/proc/self/mem"_s);
        char byte;
        QVERIFY(memory.open(QIODevice::ReadOnly) && memory.read(&byte, 1) < 0);
        row("read error", 1, memory.fileName(), u"\r\n"_s,
            cannot.arg(memory.fileName(), u"it cannot be read (%1)."_s.arg(memory.errorString())));
#endif
    }

    void loadsTheChosenFile()
    {
        QFETCH(int, side);
        QFETCH(QString, selection);
        QFETCH(QString, paneText);
        QFETCH(QString, message);
        Window w;
        w.env.dialog.setChosenPaths({u"earlier"_s});
        w.click(Window::load, side, selection);
        QStringList texts = filled;
        texts[side - 1] = paneText;
        QCOMPARE(w.texts(), texts);
        QCOMPARE(w.env.messages.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        // Switched to all lines as by a click, which stores the choice; a cancel changes nothing.
        QCOMPARE(w.window.highlightOption->isChecked() &&
                     w.env.settings.stored(u"Option1"_s) == u"True"_s,
                 !selection.isEmpty());
        QCOMPARE(w.env.dialog.chosenPath(), selection);
        QCOMPARE(
            w.env.dialog.shown,
            (QList<QStringList>{
                {u"open"_s, QString(), u"Load List(s) - Hold Ctrl to select multiple list files"_s,
                 u"Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"_s, u"280201"_s}}));
    }

    void severalFilesAreJoinedAndMissingOnesReportedInOrder()
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
        QCOMPARE(
            w.env.messages.texts(),
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

    // The very files compared are loaded again, one side at a time: the side loaded turns black,
    // the other keeps its red, and the result panes keep their lists behind the source panes.
    void reloadingAComparedFileDropsItsRedOnly()
    {
        const QString paths[] = {write(u"apple.txt"_s, "apple\nsame\n"),
                                 write(u"pear.txt"_s, "same\npear")};
        Window w;
        w.click(Window::load, 1, paths[0]);
        w.click(Window::load, 2, paths[1]);
        w.window.select(w.window.differencesOnlyOption);
        w.window.compareLinesButton->click();
        const QStringList texts = w.texts();
        QCOMPARE(texts.mid(2), QStringList({u"apple\r\n"_s, u"pear\r\n"_s}));
        const auto reds = [&w]() -> QString {
            return redRanges(*w.panes[0]) + u'|' + redRanges(*w.panes[1]);
        };
        QCOMPARE(reds(), u"0+7|6+6"_s);
        w.click(Window::load, 1, paths[0]);
        QCOMPARE(reds(), u"|6+6"_s);
        w.click(Window::load, 2, paths[1]);
        QCOMPARE(reds(), u"|"_s);
        QCOMPARE(w.texts(), texts);
        QVERIFY(w.panes[2]->isHidden() && w.panes[3]->isHidden());
    }

    void loadsUpToAQuarterOfTheFreeMemory()
    {
        constexpr qint64 gigabyte = 1000 * 1000 * 1000;
        QCOMPARE(loadLimit(std::nullopt), gigabyte);
        QCOMPARE(loadLimit(6 * gigabyte), gigabyte);
        QCOMPARE(loadLimit(2 * gigabyte), gigabyte / 2);
        QCOMPARE(loadLimit(0), 0);
    }

    void savesTheVisiblePaneOfTheSide_data()
    {
        QTest::addColumn<int>(
            "display"); // 1: all lines, 2: differences, 0: neither pane of the side
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
            QTest::newRow(tag) << display << side << messages << bytes << special << sizeLimit
                               << yes << name;
        };
        const QString ask = u"Are you sure you wish to overwrite %1 ?"_s,
                      couldNot = u"The file \"%1\" could not be saved (%2)."_s,
                      unchanged = u"\n\nA file that was there before is unchanged."_s;
        // What the system says of a path in a missing folder and of a write past the size limit.
        QFile missing(dir_.filePath(u"missing/x.txt"_s));
        QVERIFY(!missing.open(QIODevice::WriteOnly));
        const QString tooLarge = couldNot.arg(u"%1"_s, qt_error_string(EFBIG));
        const QByteArray text = "one\r\n2\r\n";
        // The soak saves either side in both display modes, new files and cancels among them.
        row("all lines, #1, overwrite", 1, 1, {ask}, text);
        row("differences, #2, overwrite, no", 2, 2, {ask}, old, {}, 0, false);
        row("neither pane shown", 0, 1, {u"savertb problem"_s}, old);
        row("missing folder", 1, 1, {couldNot.arg(u"%1"_s, missing.errorString()) + unchanged},
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

    void savesTheVisiblePaneOfTheSide()
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
        withFileSizeLimit(sizeLimit, [&] { w.click(Window::save, side, target); });

        for (QString &message : messages)
            message.replace(u"%1"_s, target);
        QCOMPARE(w.env.messages.texts(), messages);
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
        QCOMPARE(
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QFileInfo::exists(target) ? files : QStringList());
        // The save dialog keeps the name last used.
        QCOMPARE(
            w.env.dialog.shown,
            (QList<QStringList>{{u"save"_s, u"earlier"_s, u"Save List"_s,
                                 u"Text Files(*.txt)|*.txt|All Files (*.*)|*.*|"_s, u"280201"_s}}));
    }

private:
    // The file's path, or an empty one when it could not be written.
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = QDir::toNativeSeparators(dir_.filePath(name));
        return writeFile(path, bytes) ? path : QString();
    }

    QTemporaryDir dir_;
};

QTEST_MAIN(TestLoadAndSave)
#include "tst_loadandsave.moc"
