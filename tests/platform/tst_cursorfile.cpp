#include "platform/CursorFile.h"

#include "TempFiles.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {

// A 2 x 2 cursor with its hot spot at (1, 0), written out byte by byte: directory, directory
// entry (hot spot at 10, picture size at 14, picture offset at 18), bitmap header, pixels, mask.
const QByteArray tiny = QByteArray::fromHex(
    "0000 0200 0100 0202 0000 0100 0000 40000000 16000000"
    "28000000 02000000 04000000 0100 2000 00000000 18000000 00000000 00000000 00000000 00000000"
    "0000ffff 00000000 00000000 ff0000ff 40000000 80000000");

const QByteArray shippedHand = readFile(QStringLiteral(PARVENEX_RESOURCES "/HAND-M.CUR"));

template <typename Number> QByteArray patched(qsizetype at, Number value)
{
    QByteArray bytes = tiny;
    qToLittleEndian(value, bytes.data() + at);
    return bytes;
}

} // namespace

class TestCursorFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsOrRefuses_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // null for no file
        QTest::addColumn<QString>("reason");   // empty when the cursor is read
        const QString noCursor = u"it is not a Windows cursor file"_s;
        const QString cutShort = u"it is cut short"_s;
        QTest::newRow("cursor") << tiny << QString();
        QTest::newRow("shipped hand") << shippedHand << QString();
        QTest::newRow("no file") << QByteArray()
                                 << u"it cannot be read (%1)"_s.arg(openError(u"no such file"_s));
        QTest::newRow("text") << "Hand pointer, to be drawn later.\n"_ba << noCursor;
        QTest::newRow("icon") << patched(2, quint16(1)) << noCursor;
        QTest::newRow("no pictures") << patched(4, quint16(0)) << noCursor;
        QTest::newRow("shorter than one entry") << tiny.left(21) << noCursor;
        QTest::newRow("directory cut short") << patched(4, quint16(0xffff)) << cutShort;
        QTest::newRow("picture cut short") << tiny.left(80) << cutShort;
        QTest::newRow("picture beyond the end") << patched(18, quint32(0xfffffff0)) << cutShort;
        QTest::newRow("picture of no size") << patched(14, quint32(0)) << cutShort;
        QTest::newRow("hot spot right")
            << patched(10, quint16(2)) << u"its hot spot (2, 0) lies outside its 2 x 2 picture"_s;
        QTest::newRow("hot spot below")
            << patched(12, quint16(9)) << u"its hot spot (1, 9) lies outside its 2 x 2 picture"_s;
        QTest::newRow("picture is garbage")
            << tiny.left(22) + QByteArray(64, 'x') << u"its picture cannot be read"_s;
    }

    void readsOrRefuses()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        const QString path = folder.filePath(u"HAND-M.CUR"_s);
        QVERIFY(bytes.isNull() || writeFile(path, bytes));
        QString error;
        const std::optional<CursorPicture> cursor = readCursorFile(path, &error);
        QCOMPARE(error, reason);
        QCOMPARE(cursor.has_value(), reason.isEmpty());
        if (bytes == tiny)
            QCOMPARE(cursor->hotSpot, QPoint(1, 0));
        if (bytes != shippedHand)
            return;
        // The shipped hand is its drawing, with the hot spot at the tip of the index finger, on the
        // drawing's black outline.
        const QImage drawing(QStringLiteral(PARVENEX_RESOURCES "/cursor/hand.png"));
        QCOMPARE(cursor->image.convertToFormat(QImage::Format_ARGB32),
                 drawing.convertToFormat(QImage::Format_ARGB32));
        QCOMPARE(cursor->hotSpot, QPoint(5, 0));
        QCOMPARE(cursor->image.pixelColor(cursor->hotSpot), QColor(Qt::black));
    }
};

QTEST_MAIN(TestCursorFile)
#include "tst_cursorfile.moc"
