#include "platform/CursorFile.h"

#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

const QString resources = QStringLiteral(PARVENEX_RESOURCES);

QByteArray shippedCursor()
{
    QFile file(resources + QStringLiteral("/HAND-M.CUR"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray withWord(QByteArray bytes, qsizetype at, quint16 value)
{
    qToLittleEndian(value, bytes.data() + at);
    return bytes;
}

QByteArray withDoubleWord(QByteArray bytes, qsizetype at, quint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
    return bytes;
}

} // namespace

class TestCursorFile : public QObject
{
    Q_OBJECT

private slots:
    void readsPictureAndHotSpotFromTheDirectoryEntry();
    void shippedHandMatchesItsDrawing();
    void refusesWhatIsNoCursor_data();
    void refusesWhatIsNoCursor();
    void reportsFilesThatCannotBeRead();
};

void TestCursorFile::readsPictureAndHotSpotFromTheDirectoryEntry()
{
    // A 2 x 2 cursor written out byte by byte: hot spot (1, 0); top row transparent then
    // blue, bottom row red then transparent (bitmap rows are stored bottom first).
    const QByteArray bytes = QByteArray::fromHex("0000 0200 0100"
                                                 "02 02 00 00 0100 0000 40000000 16000000"
                                                 "28000000 02000000 04000000 0100 2000"
                                                 "00000000 18000000 00000000 00000000"
                                                 "00000000 00000000"
                                                 "0000ffff 00000000"
                                                 "00000000 ff0000ff"
                                                 "40000000 80000000");
    QString error;
    const std::optional<CursorPicture> cursor = decodeCursorFile(bytes, &error);
    QVERIFY2(cursor, qPrintable(error));
    QCOMPARE(cursor->hotSpot, QPoint(1, 0));
    QCOMPARE(cursor->image.size(), QSize(2, 2));
    QCOMPARE(qAlpha(cursor->image.pixel(0, 0)), 0);
    QCOMPARE(cursor->image.pixelColor(1, 0), QColor(Qt::blue));
    QCOMPARE(cursor->image.pixelColor(0, 1), QColor(Qt::red));
    QCOMPARE(qAlpha(cursor->image.pixel(1, 1)), 0);
}

void TestCursorFile::shippedHandMatchesItsDrawing()
{
    QString error;
    const std::optional<CursorPicture> cursor =
        readCursorFile(resources + QStringLiteral("/HAND-M.CUR"), &error);
    QVERIFY2(cursor, qPrintable(error));
    const QImage drawing(resources + QStringLiteral("/cursor/hand.png"));
    QCOMPARE(drawing.size(), QSize(32, 32));
    QCOMPARE(cursor->image.convertToFormat(QImage::Format_ARGB32),
             drawing.convertToFormat(QImage::Format_ARGB32));
    // The hot spot is the tip of the index finger, on the drawing's black outline.
    QCOMPARE(cursor->hotSpot, QPoint(5, 0));
    QCOMPARE(cursor->image.pixelColor(cursor->hotSpot), QColor(Qt::black));
}

void TestCursorFile::refusesWhatIsNoCursor_data()
{
    const QByteArray shipped = shippedCursor();
    QVERIFY(shipped.size() > 100);
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty") << QByteArray() << "it is not a Windows cursor file";
    QTest::newRow("text") << QByteArray("Hand pointer, to be drawn later.\n")
                          << "it is not a Windows cursor file";
    QTest::newRow("icon") << withWord(shipped, 2, 1) << "it is not a Windows cursor file";
    QTest::newRow("no pictures") << withWord(shipped, 4, 0) << "it is not a Windows cursor file";
    QTest::newRow("shorter than one directory entry")
        << shipped.left(21) << "it is not a Windows cursor file";
    QTest::newRow("directory cut short") << withWord(shipped, 4, 0xffff) << "it is cut short";
    QTest::newRow("picture cut short") << shipped.left(100) << "it is cut short";
    QTest::newRow("picture beyond the end")
        << withDoubleWord(shipped, 18, 0xfffffff0) << "it is cut short";
    QTest::newRow("picture of no size") << withDoubleWord(shipped, 14, 0) << "it is cut short";
    QTest::newRow("hot spot right of the picture")
        << withWord(shipped, 10, 32) << "its hot spot (32, 0) lies outside its 32 x 32 picture";
    QTest::newRow("hot spot below the picture")
        << withWord(shipped, 12, 40) << "its hot spot (5, 40) lies outside its 32 x 32 picture";
    QTest::newRow("picture is garbage")
        << shipped.left(22) + QByteArray(shipped.size() - 22, 'x') << "its picture cannot be read";
}

void TestCursorFile::refusesWhatIsNoCursor()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("HAND-M.CUR"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QString error;
    QVERIFY(!readCursorFile(path, &error));
    QCOMPARE(error, reason);
}

void TestCursorFile::reportsFilesThatCannotBeRead()
{
    QTemporaryDir folder;
    QString error;
    QVERIFY(!readCursorFile(folder.filePath(QStringLiteral("missing.cur")), &error));
    QVERIFY2(error.startsWith(QLatin1String("it cannot be read (")), qPrintable(error));
    QVERIFY(!readCursorFile(folder.path(), &error));
    QVERIFY2(error.startsWith(QLatin1String("it cannot be read (")), qPrintable(error));
}

QTEST_MAIN(TestCursorFile)
#include "tst_cursorfile.moc"
