#include "TempFiles.h"
#include "TestServices.h"
#include "WindowPanes.h"
#include "app/CommandLine.h"
#include "app/StartUpFiles.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {

// Patterns of the printed texts, each matched from the start of the text.
const QString usage = u"Usage: parvenex \\[options\\] \\[file1 \\[file2\\]\\]\n"
                      u"(.|\n)*-v, --version(.|\n)*file2 "_s;
const QString version = QStringLiteral("parvenex " PARVENEX_PROJECT_VERSION "\n$");

// Checks a program's output; Windows' C library ends its lines with CR LF.
void verifyStartsLike(const QByteArray &output, const QString &pattern)
{
    QString text = QString::fromLocal8Bit(output);
#ifdef Q_OS_WIN
    text.replace(u"\r\n"_s, u"\n"_s);
#endif
    const QRegularExpression start(QStringLiteral("^(?:%1)").arg(pattern));
    QVERIFY2(start.match(text).hasMatch(),
             qPrintable(QStringLiteral("\"%1\" does not match /%2/").arg(text, pattern)));
}

// What a test looks at in a window: the source panes' texts, the panes shown and the messages.
QStringList seen(const MainWindow &window, const TestServices &test)
{
    return QStringList{window.textPane1->text(), window.textPane2->text(), shownPanes(window)} +
           test.messages.texts();
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(QDir::setCurrent(dir_.path()));
        QVERIFY(writeFile(u"one.txt"_s, "first\n") && writeFile(u"two.txt"_s, "second"));
    }

    // The program itself prints help, its version and errors, then exits: none of them needs a
    // display, Qt's own options are taken out before the arguments are read, errors go to
    // standard error. Otherwise it starts with the files named, "--" ending the options.
    void argumentsAreAnswered_data()
    {
        QTest::addColumn<QString>("arguments"); // separated by '|'
        QTest::addColumn<int>("status");        // -1: the program starts
        QTest::addColumn<QString>("output");    // the files to load ('|'), or what is printed
        QTest::addColumn<QString>("error");
        const QString none = u"$"_s;
        // clang-format off
        QTest::newRow("after --")              << "--|-v|/tmp/x y.txt" << -1 << "-v|/tmp/x y.txt" << none;
        QTest::newRow("help")                  << "one.txt|-v|--help" << 0 << usage << none;
        QTest::newRow("Qt's options, version") << "-platform|offscreen|-v|one.txt" << 0 << version << none;
        QTest::newRow("unknown option")        << "--bogus" << 2 << none << u"parvenex: Unknown option 'bogus'.\n\n"_s + usage;
        QTest::newRow("three files")           << "one.txt|two.txt|three.txt" << 2 << none
            << u"parvenex: At most two files: one for text #1, one for text #2.\n\n"_s + usage;
        QTest::newRow("Qt's options, unknown") << "--platform|offscreen|-style=Fusion|--bogus|-x" << 2 << none << u"parvenex: Unknown options: bogus, x.\n\n"_s + usage;
        // clang-format on
    }

    void argumentsAreAnswered()
    {
        QFETCH(QString, arguments);
        QFETCH(int, status);
        QFETCH(QString, output);
        QFETCH(QString, error);
        const QStringList argumentList = arguments.split(u'|', Qt::SkipEmptyParts);
        if (status < 0) {
            const CommandLine line = readCommandLine(QStringList{u"parvenex"_s} + argumentList);
            QCOMPARE(line.action, CommandLine::Action::Start);
            QStringList files = output.split(u'|', Qt::SkipEmptyParts);
            for (QString &file : files)
                file = QFileInfo(file).absoluteFilePath();
            QCOMPARE(line.files, files);
            return;
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"DISPLAY"_s);
        environment.remove(u"WAYLAND_DISPLAY"_s);
        // Without a display, a program that connected to the usual platform would abort.
        environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        environment.insert(u"XDG_RUNTIME_DIR"_s, dir_.path());
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(PARVENEX_EXECUTABLE), argumentList);
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), status);
        verifyStartsLike(program.readAllStandardOutput(), output);
        verifyStartsLike(program.readAllStandardError(), error);
    }

    // The files named on the command line end up exactly as if the load buttons had loaded
    // them (texts, panes shown, messages), once the event loop runs.
    void filesLoadAsTheLoadButtonsWould_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::newRow("two files") << QStringList{u"one.txt"_s, u"two.txt"_s};
        QTest::newRow("missing, then one") << QStringList{u"missing.txt"_s, u"one.txt"_s};
    }

    void filesLoadAsTheLoadButtonsWould()
    {
        QFETCH(QStringList, files);
        TestServices started, clicked;
        MainWindow startedWindow(started.services), clickedWindow(clicked.services);
        loadStartUpFiles(startedWindow, readCommandLine(QStringList{u"parvenex"_s} + files).files);
        QCOMPARE(seen(startedWindow, started), QStringList({{}, {}, u"34"_s})); // not yet
        QTRY_COMPARE(seen(startedWindow, started).at(2), u"12"_s);

        QPushButton *const loadButtons[] = {clickedWindow.loadButton1, clickedWindow.loadButton2};
        for (qsizetype i = 0; i < files.size(); ++i) {
            clicked.dialog.answers.enqueue(dir_.filePath(files[i]));
            loadButtons[i]->click();
        }
        QCOMPARE(seen(startedWindow, started), seen(clickedWindow, clicked));
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
