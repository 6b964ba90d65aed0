#include "TempFiles.h"
#include "documents/ReadTextFile.h"
#include "documents/TextEncoding.h"

#include <QtTest>
#include <numeric>

using namespace Qt::StringLiterals;

// How files become pane texts and back; the load command's tests cover the rest.
class TestTextFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encodingKeepsEveryCharacter()
    {
        QCOMPARE(TextEncoding::encode(u"café\r\n"_s.toUtf8(), QStringConverter::Latin1),
                 QByteArray("caf\xe9\r\n"));
        // One character the code page lacks makes the whole file UTF-8.
        const QByteArray euro = u"café €\r\n"_s.toUtf8();
        QCOMPARE(TextEncoding::encode(euro, QStringConverter::Latin1), euro);
        // Bytes in the code page that would load as UTF-8 are written as UTF-8.
        const QByteArray asUtf8 = u"Ã©"_s.toUtf8();
        QCOMPARE(TextEncoding::encode(asUtf8, QStringConverter::Latin1), asUtf8);
        // A leading U+FEFF gets a byte-order mark of its own, so that it loads back.
        const QByteArray feff = u"\ufeffx"_s.toUtf8();
        QCOMPARE(TextEncoding::toUtf8(TextEncoding::encode(feff)), feff);
        // A UTF-16 surrogate out of its pair loads as the replacement character.
        QCOMPARE(TextEncoding::toUtf8("\xff\xfe"
                                      "a\0\0\xde"_ba),
                 u"a\ufffd"_s.toUtf8());
        // NULs at the end of a text in the code page stay, so that the file counts as binary.
        QCOMPARE(TextEncoding::toUtf8("\x89PNG\0\0"_ba),
                 u"\u2030PNG"_s.toUtf8() + QByteArray(2, '\0'));
        // UTF-8 text stays the very bytes it was, without a copy.
        QCOMPARE(TextEncoding::toUtf8(euro).constData(), euro.constData());
        QStringDecoder reference("windows-1252");
        if (!reference.isValid())
            QSKIP("Qt was built without a windows-1252 converter");
        QByteArray all(256, 0);
        std::iota(all.begin(), all.end(), 0);
        QCOMPARE(TextEncoding::decodeWindows1252(all), reference.decode(all));
    }

    void readingStopsAtTheLimit()
    {
        using Problem = TextFileContent::Problem;
        QTemporaryDir dir;
        // Ten euro signs of Windows-1252 take thirty bytes as UTF-8.
        const QString euros = dir.filePath(u"euros.txt"_s);
        QVERIFY(writeFile(euros, QByteArray(10, '\x80')));
        const TextFileContent content = readTextFile(euros, 20);
        QCOMPARE(std::pair(content.problem, content.size), std::pair(Problem::TooLarge, 30LL));
#ifdef Q_OS_LINUX
        // States a size of 0, so only reading shows how long it is.
        const QString status = u"/proc/self/status"_s;
        QVERIFY(readTextFile(status, 1 << 20).utf8.startsWith("Name:"));
        QCOMPARE(readTextFile(status, 16).problem, Problem::TooLarge);
#endif
    }
};

QTEST_GUILESS_MAIN(TestTextFiles)
#include "tst_textfiles.moc"
