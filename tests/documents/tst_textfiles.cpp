#include "TempFiles.h"
#include "documents/ReadTextFile.h"
#include "documents/SelectionPaths.h"
#include "documents/TextEncoding.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using Problem = TextFileContent::Problem;
Q_DECLARE_METATYPE(Problem)

namespace {

// Paths in the data tables are written with "/" and meant with the platform's separator.
QString native(QString path)
{
    return path.replace(QLatin1Char('/'), QDir::separator());
}

} // namespace

class TestTextFiles : public QObject
{
    Q_OBJECT

private slots:
    void decodingFollowsTheBytes_data();
    void decodingFollowsTheBytes();
    void windows1252TableMatchesTheSystemConverter();
    void encodingKeepsEveryCharacter_data();
    void encodingKeepsEveryCharacter();
    void filesThatAreNotTextAreRefused_data();
    void filesThatAreNotTextAreRefused();
    void filesWithoutAStatedSizeAreReadWhole();
    void selectionNamesItsPaths_data();
    void selectionNamesItsPaths();

private:
    QTemporaryDir dir_;
};

void TestTextFiles::decodingFollowsTheBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("utf-8") << QByteArray("gr\xc3\xbc\xc3\x9f") << QStringLiteral("grüß");
    QTest::newRow("utf-8 with bom")
        << QByteArray("\xef\xbb\xbfgr\xc3\xbc") << QStringLiteral("grü");
    QTest::newRow("bom only") << QByteArray("\xef\xbb\xbf") << QString();
    QTest::newRow("utf-16le") << QByteArray("\xff\xfe"
                                            "a\0\xfc\0\x3d\xd8\x00\xde",
                                            10)
                              << QStringLiteral("aü\U0001F600");
    QTest::newRow("utf-16be") << QByteArray("\xfe\xff\0a\0\xfc", 6) << QStringLiteral("aü");
    QTest::newRow("latin-1") << QByteArray("caf\xe9 \xa0\xff") << QStringLiteral("café \u00a0ÿ");
    QTest::newRow("windows-1252") << QByteArray("\x80 \x93q\x94 \x85") << QStringLiteral("€ “q” …");
    QTest::newRow("one bad sequence makes the whole file 8-bit")
        << QByteArray("\xc3\xa9 \xe9") << QStringLiteral("Ã© é");
    QTest::newRow("utf-8 cut off at the end") << QByteArray("ab\xc3") << QStringLiteral("abÃ");
    QTest::newRow("encoded surrogate is not utf-8")
        << QByteArray("\xed\xa0\x80") << QStringLiteral("í\u00a0€");
}

void TestTextFiles::decodingFollowsTheBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(TextEncoding::decode(bytes), text);
}

void TestTextFiles::windows1252TableMatchesTheSystemConverter()
{
    QStringDecoder reference("windows-1252");
    if (!reference.isValid())
        QSKIP("Qt was built without a windows-1252 converter");
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte)
        all.append(char(byte));
    QCOMPARE(TextEncoding::decodeWindows1252(all), reference.decode(all));
}

void TestTextFiles::encodingKeepsEveryCharacter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("utf-8") << QStringLiteral("grü\r\n") << int(QStringConverter::Utf8)
                           << QByteArray("gr\xc3\xbc\r\n");
    QTest::newRow("fits the code page")
        << QStringLiteral("café\r\n") << int(QStringConverter::Latin1) << QByteArray("caf\xe9\r\n");
    QTest::newRow("does not fit: all utf-8")
        << QStringLiteral("café €\r\n") << int(QStringConverter::Latin1)
        << QByteArray("caf\xc3\xa9 \xe2\x82\xac\r\n");
}

void TestTextFiles::encodingKeepsEveryCharacter()
{
    QFETCH(QString, text);
    QFETCH(int, codePage);
    QFETCH(QByteArray, bytes);
    QCOMPARE(TextEncoding::encode(text, QStringConverter::Encoding(codePage)), bytes);
}

// Folders, pipes, binary files and read errors are covered where the load command reports them.
void TestTextFiles::filesThatAreNotTextAreRefused_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<qint64>("maxBytes");
    QTest::addColumn<Problem>("problem");
    QVERIFY(writeFile(dir_.filePath("ten.txt"), "0123456789"));
    QVERIFY(writeFile(dir_.filePath("nul16.txt"), QByteArray("\xff\xfe"
                                                             "a\0\0\0",
                                                             6)));
    QTest::newRow("at the limit") << dir_.filePath("ten.txt") << qint64(10) << Problem::None;
    QTest::newRow("over the limit") << dir_.filePath("ten.txt") << qint64(9) << Problem::TooLarge;
    QTest::newRow("utf-16 nul") << dir_.filePath("nul16.txt") << qint64(100) << Problem::Binary;
    QTest::newRow("vanished") << dir_.filePath("gone.txt") << qint64(100) << Problem::Unreadable;
}

void TestTextFiles::filesThatAreNotTextAreRefused()
{
    QFETCH(QString, path);
    QFETCH(qint64, maxBytes);
    QFETCH(Problem, problem);
    const TextFileContent content = readTextFile(path, maxBytes);
    QCOMPARE(content.problem, problem);
    QCOMPARE(content.error.isEmpty(), problem != Problem::Unreadable);
    if (problem != Problem::None)
        QVERIFY(content.text.isEmpty());
}

void TestTextFiles::filesWithoutAStatedSizeAreReadWhole()
{
#ifdef Q_OS_LINUX
    const QString path = QStringLiteral("/proc/self/status");
    QCOMPARE(QFileInfo(path).size(), 0);
    const TextFileContent whole = readTextFile(path, 1 << 20);
    QCOMPARE(whole.problem, Problem::None);
    QVERIFY(whole.text.startsWith(QLatin1String("Name:")));
    QVERIFY(whole.text.contains(QLatin1String("\nPid:")));
    QCOMPARE(readTextFile(path, 16).problem, Problem::TooLarge);
#else
    QSKIP("needs Linux's /proc");
#endif
}

void TestTextFiles::selectionNamesItsPaths_data()
{
    QTest::addColumn<QString>("selection");
    QTest::addColumn<bool>("collapse");
    QTest::addColumn<QStringList>("paths");
    const QChar nul(0);
    QTest::newRow("one path is never rewritten")
        << native("/a//b.txt") << true << QStringList{native("/a//b.txt")};
    QTest::newRow("several") << native("/d") + nul + "x.txt" + nul + "y z.txt" << false
                             << QStringList{native("/d/x.txt"), native("/d/y z.txt")};
    QTest::newRow("root, collapsed")
        << native("/") + nul + "x" << true << QStringList{native("/x")};
    QTest::newRow("root, as joined")
        << native("/") + nul + "x" << false << QStringList{native("//x")};
    QTest::newRow("three in a row become two")
        << native("/d//") + nul + "x" << true << QStringList{native("/d//x")};
    QTest::newRow("pairs anywhere in the path")
        << native("//s//d") + nul + "x" << true << QStringList{native("/s/d/x")};
}

void TestTextFiles::selectionNamesItsPaths()
{
    QFETCH(QString, selection);
    QFETCH(bool, collapse);
    QFETCH(QStringList, paths);
    QCOMPARE(selectionPaths(selection, collapse), paths);
}

QTEST_GUILESS_MAIN(TestTextFiles)
#include "tst_textfiles.moc"
