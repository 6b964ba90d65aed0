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
// The most a load takes here: it and one byte more both round to 10.0 KB.
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
        env.dialog.setChosenPaths({u"earlier"_s});
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

// Drags the files from another program onto the middle of the widget and drops them there, as Qt
// delivers it: to the window, which offers it to the widget under the pointer. Whether the drop
// was taken.
bool dropOnto(QWidget &window, QWidget &widget, const QMimeData &data)
{
    QWindow *handle = window.windowHandle();
    const QPoint at = widget.mapTo(&window, widget.rect().center());
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    move.setAccepted(enter.isAccepted());
    QCoreApplication::sendEvent(handle, &move);
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

} // namespace

class TestLoadAndSave : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loadsOrSaves_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("side");
        QTest::addColumn<QString>("path"); // to load, or to save in a new folder
        // Words for what is special about a save: "differences" shown instead of all lines, both
        // panes of the side "hidden", "no" to the overwrite question, a "full" disk, the file
        // with a second hard "link" or "another owner", its folder "refusing" new files or
        // "immutable", or "missing".
        QTest::addColumn<QString>("special");
        QTest::addColumn<QStringList>("messages"); // %1: the path
        QTest::addColumn<QByteArray>("result");    // the pane's text, or the file's bytes
        const auto load = [](const char *name, int side, const QString &path,
                             const QStringList &messages, const QByteArray &paneText) {
            QTest::newRow(name) << int(Window::load) << side << path << QString() << messages
                                << paneText;
        };
        const auto save = [](const char *name, int side, const QString &special,
                             const QStringList &messages, const QByteArray &bytes) {
            const QString path = special == u"missing"_s ? u"missing/x.txt"_s : u"saved.txt"_s;
            QTest::newRow(name) << int(Window::save) << side << path << special << messages
                                << bytes;
        };
        // What a pane shows of the files' bytes, loaded with the final line break.
        const auto loaded = [](const QByteArray &bytes) {
            return PaneTextReference(QString::fromUtf8(bytes + '\r')).text.toUtf8();
        };
        const QString cannot = u"The file \"%1\" cannot be loaded: %2"_s;
        // Loads nothing, with the reason given for the path tried.
        const auto fails = [&](const char *name, int side, const QString &path, const QString &why,
                               const QString &tried = {}) {
            load(name, side, path, {cannot.arg(tried.isEmpty() ? path : tried, why)}, "\r\n");
        };
        load("cancel", 2, QString(), {}, filled[1].toUtf8());
        load("missing", 1, dir_.filePath(u"gone.txt"_s), {u"File not found"_s}, "\r\n");

        // A folder is reported with the path that was tried, which shows how it was joined.
        const QString dir = QDir::toNativeSeparators(dir_.path()), sep = QDir::separator();
        QVERIFY(QDir(dir).mkpath(u"sub"_s));
        const QString sub = dir + sep + sep + u"sub"_s;
        const QString folder = u"it is a folder, not a file."_s;
        fails("folder, #2 joins as it is", 2, dir + sep + nul + u"sub"_s, folder, sub);
        fails("folder, #1 collapses in one pass", 1, dir + sep + sep + nul + u"sub"_s, folder, sub);
        fails("folder, one path is never rewritten", 1, sub, folder);

        // Sizes printed rounded, or in bytes where rounding would make the two read the same.
        const QLocale locale = QLocale::system();
        const auto rounded = [&](qint64 bytes) {
            return locale.formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
        };
        const auto bytes = [&](qint64 n) { return u"%1 bytes"_s.arg(locale.toString(n)); };
        const QString tooLarge =
            u"it is %1, more than the %2 that a text can take on this computer."_s;
        const QByteArray full =
            QByteArray("twenty-nine characters long\r\n").repeated(limit / 29 + 1).left(limit);
        const QString over = write(u"over.txt"_s, full + 'x'),
                      twice = write(u"twice.txt"_s, full + full);
        load("at the limit", 1, write(u"limit.txt"_s, full), {}, loaded(full));
        fails("one byte over", 2, over, tooLarge.arg(bytes(limit + 1), bytes(limit)));
        fails("twice the limit", 2, twice, tooLarge.arg(rounded(2 * limit), rounded(limit)));
        // The files' texts count, not the line break that joins them.
        write(u"small.txt"_s, "small");
        write(u"rest.txt"_s, full.left(limit - 5));
        const QString more = write(u"more.txt"_s, full.left(limit - 4));
        load("together at the limit", 1, dir + nul + u"small.txt"_s + nul + u"rest.txt"_s, {},
             loaded("small\r\n" + full.left(limit - 5)));
        load("together one byte over", 2, dir + nul + u"small.txt"_s + nul + u"more.txt"_s,
             {cannot.arg(more, u"together with the files loaded before it, the text would be "
                               u"more than the %1 that a text can take on this computer."_s.arg(
                                   bytes(limit)))},
             "small\r\n");
#ifdef Q_OS_UNIX
        const QString fifo = dir_.filePath(u"fifo"_s);
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        fails("pipe", 1, fifo, u"it is not an ordinary file but a device, pipe or socket."_s);
#endif
#ifdef Q_OS_LINUX
        // Opens, but reading fails, with the reason the system gives.
        QFile memory(u"/proc/self/mem"_s);
        char byte;
        QVERIFY(memory.open(QIODevice::ReadOnly) && memory.read(&byte, 1) < 0);
        fails("read error", 1, memory.fileName(),
              u"it cannot be read (%1)."_s.arg(memory.errorString()));
#endif

        const QString ask = u"Are you sure you wish to overwrite %1 ?"_s,
                      couldNot = u"The file \"%1\" could not be saved (%2)."_s,
                      unchanged = u"\n\nA file that was there before is unchanged."_s;
        const QString missing = openError(dir_.filePath(u"missing/x.txt"_s), QIODevice::WriteOnly);
        const QString noRoom = couldNot.arg(u"%1"_s, qt_error_string(EFBIG));
        const QByteArray text = "one\r\n2\r\n";
        save("save, all lines, #1, overwrite", 1, {}, {ask}, text);
        save("save, differences, #2, overwrite, no", 2, u"differences no"_s, {ask}, old);
        save("save, neither pane shown", 1, u"hidden"_s, {u"savertb problem"_s}, old);
        save("save, missing folder", 1, u"missing"_s, {couldNot.arg(u"%1"_s, missing) + unchanged},
             "<unreadable>");
#ifdef Q_OS_UNIX
        save("save, disk full", 1, u"full"_s, {ask, noRoom + unchanged}, old);
#endif
#ifdef Q_OS_LINUX
        // An existing file keeps its other names, its owner and its group. It is written in place
        // when no temporary file can be made beside it, here even for root; then a failed save
        // leaves what got there, and the message does not call the file unchanged.
        save("save, second hard link", 1, u"link"_s, {ask}, text);
        save("save, no new file in the folder", 1, u"refusing"_s, {ask}, text);
        save("save, no new file, disk full", 1, u"refusing full"_s, {ask, noRoom}, text.left(4));
        save("save, immutable folder", 2, u"differences immutable"_s, {ask}, "four\r\n\r\n");
        save("save, another owner and group", 1, u"owner"_s, {ask}, text);
#endif
    }

    void loadsOrSaves()
    {
        QFETCH(int, command);
        QFETCH(int, side);
        QFETCH(QString, path);
        QFETCH(QString, special);
        QFETCH(QStringList, messages);
        QFETCH(QByteArray, result);
        const bool save = command == Window::save;
        const auto has = [&special](const char *word) {
            return special.split(u' ').contains(QLatin1String(word));
        };
        const QTemporaryDir folder;
        if (save) {
            path = QDir::toNativeSeparators(folder.filePath(path));
            QVERIFY(has("missing") || writeFile(path, old));
        }
#ifdef Q_OS_LINUX
        // The owner and group that root gives the file: no user's, so none a new file gets.
        constexpr uid_t owner = 4242;
        constexpr gid_t group = 4343;
        if (has("owner") && geteuid() != 0)
            QSKIP("only root can give a file another owner");
        const QByteArray file = QFile::encodeName(path),
                         link = QFile::encodeName(folder.filePath(u"link.txt"_s));
        QVERIFY(!has("link") || ::link(file.constData(), link.constData()) == 0);
        QVERIFY(!has("owner") || ::chown(file.constData(), owner, group) == 0);
        refuseNewFilesIn(has("refusing") || has("immutable") ? folder.path() : QString(),
                         has("immutable") ? EPERM : EACCES);
        const auto refuseNothing = qScopeGuard([] { refuseNewFilesIn(QString()); });
#endif
        Window w;
        if (save && !has("differences"))
            w.window.select(w.window.highlightOption);
        if (has("hidden")) {
            w.panes[side - 1]->hide();
            w.panes[side + 1]->hide();
        }
        w.env.messages.answers.enqueue(!has("no"));
        withFileSizeLimit(has("full") ? 4 : 0,
                          [&] { w.click(Window::Command(command), side, path); });

        QStringList texts = filled;
        if (!save)
            texts[side - 1] = QString::fromUtf8(result);
        QCOMPARE(w.texts(), texts);
        QCOMPARE(w.env.messages.texts(), messages.replaceInStrings(u"%1"_s, path));
        QCOMPARE(w.env.dialog.chosenPath(), path);
        // Shown once: to load with no name, to save with the name last used.
        const QString shown =
            save ? u"save|earlier|Save List|Text Files(*.txt)|*.txt|All Files (*.*)|*.*||280201"_s
                 : u"open||Load List(s) - Hold Ctrl to select multiple list files|"
                   u"Text Files (*.txt)|*.txt|All Files (*.*)|*.*||280201"_s;
        QCOMPARE(w.env.dialog.shown.size(), 1);
        QCOMPARE(w.env.dialog.shown[0].join(u'|'), shown);
        if (!save) {
            // Switched to all lines as by a click, which stores the choice; a cancel does not.
            QCOMPARE(w.window.highlightOption->isChecked() &&
                         w.env.settings.stored(u"Option1"_s) == u"True"_s,
                     !path.isEmpty());
            return;
        }
        QCOMPARE(readFile(path), result);
#ifdef Q_OS_LINUX
        if (has("owner")) {
            struct stat after = {};
            QVERIFY(::stat(file.constData(), &after) == 0);
            QCOMPARE(QList<uint>({after.st_uid, after.st_gid}), QList<uint>({owner, group}));
        }
        if (has("link"))
            QCOMPARE(readFile(QFile::decodeName(link)), result);
#endif
        // Nothing left beside it.
        QStringList files{u"saved.txt"_s};
        if (has("link"))
            files.prepend(u"link.txt"_s);
        QCOMPARE(
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QFileInfo::exists(path) ? files : QStringList());
    }

    void droppedFilesAreJoinedAndMissingOnesReported()
    {
        // The last file comes from another folder (on Windows, another drive) and is named by
        // its own path.
        const QTemporaryDir elsewhere;
        const QString binary = QDir::toNativeSeparators(elsewhere.filePath(u"image.bin"_s));
        QVERIFY(writeFile(binary, QByteArray("\x89PNG\0", 5)));
        QList<QUrl> urls;
        const QList<QByteArray> bytes{"alpha", "beta\n", "", "\xef\xbb\xbfgamma\r", "\nomega", ""};
        for (const QString &name : u"a b y c e f"_s.split(u' ')) {
            QVERIFY(name == u"y"_s || writeFile(dir_.filePath(name), bytes[urls.size()]));
            urls.append(QUrl::fromLocalFile(dir_.filePath(name)));
        }
        QMimeData data;
        data.setUrls(urls << QUrl::fromLocalFile(binary));
        Window w;
        w.window.select(w.window.highlightOption);
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        QVERIFY(dropOnto(w.window, *w.panes[1], data));
        QTRY_COMPARE(w.env.messages.texts().size(), 2);
        QCOMPARE(w.env.messages.texts(),
                 QStringList({u"File not found"_s,
                              u"The file \"%1\" cannot be loaded: it holds binary data (NUL "
                              u"characters), not text."_s.arg(binary)}));
        // Each file starts on a line of its own and keeps its own line breaks, even a CR at the
        // end of one and an LF at the start of the next; an empty one adds no line.
        QStringList texts = filled;
        texts[1] = u"alpha\r\nbeta\r\ngamma\r\n\r\nomega\r\n"_s;
        QCOMPARE(w.texts(), texts);
        // Kept as the dialog's choice, for the save dialog to start in the folder.
        QCOMPARE(w.env.dialog.chosenPaths().size(), 7);
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
        QCOMPARE((QList<qint64>{loadLimit(std::nullopt), loadLimit(6 * gigabyte),
                                loadLimit(2 * gigabyte), loadLimit(0)}),
                 (QList<qint64>{gigabyte, gigabyte, gigabyte / 2, 0}));
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
