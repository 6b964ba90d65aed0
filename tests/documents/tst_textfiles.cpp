#include "TempFiles.h"
#include "documents/ReadTextFile.h"
#include "documents/TextEncoding.h"

#include <QTemporaryDir>
#include <QTest>
#include <numeric>

// How files become pane texts and back; the load command's tests cover the rest.
class TestTextFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encodingKeepsEveryCharacter();
    void readingStopsAtTheLimit();
};

void TestTextFiles::encodingKeepsEveryCharacter()
{
    QCOMPARE(TextEncoding::encode(QStringLiteral("café\r\n"), QStringConverter::Latin1),
             QByteArray("caf\xe9\r\n"));
    // One character the code page lacks makes the whole file UTF-8.
    QCOMPARE(TextEncoding::encode(QStringLiteral("café €\r\n"), QStringConverter::Latin1),
             QByteArray("caf\xc3\xa9 \xe2\x82\xac\r\n"));
    QStringDecoder reference("windows-1252");
    if (!reference.isValid())
        QSKIP("Qt was built without a windows-1252 converter");
    QByteArray all(256, 0);
    std::iota(all.begin(), all.end(), 0);
    QCOMPARE(TextEncoding::decodeWindows1252(all), reference.decode(all));
}

void TestTextFiles::readingStopsAtTheLimit()
{
    using Problem = TextFileContent::Problem;
    QTemporaryDir dir;
    const QString ten = dir.filePath(QStringLiteral("ten.txt"));
    QVERIFY(writeFile(ten, "0123456789"));
    QCOMPARE(readTextFile(ten, 10).text, QStringLiteral("0123456789"));
    QCOMPARE(readTextFile(ten, 9).problem, Problem::TooLarge);
#ifdef Q_OS_LINUX
    // States a size of 0, so only reading shows how long it is.
    const QString status = QStringLiteral("/proc/self/status");
    QVERIFY(readTextFile(status, 1 << 20).text.startsWith(QLatin1String("Name:")));
    QCOMPARE(readTextFile(status, 16).problem, Problem::TooLarge);
#endif
}

QTEST_GUILESS_MAIN(TestTextFiles)
#include "tst_textfiles.moc"
