#include "TextStoreReference.h"
#include "pane/MarkedRanges.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Ranges written as "[2,6)[8,9)": from the first byte to the one after the last.
QList<TextRange> parse(const QString &written)
{
    QList<TextRange> ranges;
    static const QRegularExpression range(u"\\[(\\d+),(\\d+)\\)"_s);
    for (const QRegularExpressionMatch &match : range.globalMatch(written)) {
        const qsizetype start = match.captured(1).toLongLong();
        ranges.append({start, match.captured(2).toLongLong() - start});
    }
    return ranges;
}

QString written(const QList<TextRange> &ranges)
{
    QString text;
    for (const TextRange &r : ranges)
        text += u"[%1,%2)"_s.arg(r.start).arg(r.start + r.length);
    return text;
}

QString all(const MarkedRanges &marked)
{
    return written(marked.within(0, 1000));
}

MarkedRanges made(const QString &ranges)
{
    MarkedRanges marked;
    for (const TextRange &r : parse(ranges))
        marked.mark(r.start, r.start + r.length);
    return marked;
}

} // namespace

class TestMarkedRanges : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void markAndUnmark_data();
    void markAndUnmark();
    void markSorted_data();
    void markSorted();
    void replaced_data();
    void replaced();
    void lookups();
    void randomChanges();
};

void TestMarkedRanges::markAndUnmark_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("mark");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("after");
    QTest::newRow("into nothing") << "" << true << 2 << 4 << "[2,4)";
    QTest::newRow("nothing to mark") << "[2,4)" << true << 6 << 6 << "[2,4)";
    QTest::newRow("touching before") << "[2,4)" << true << 0 << 2 << "[0,4)";
    QTest::newRow("touching after") << "[2,4)" << true << 4 << 5 << "[2,5)";
    QTest::newRow("one byte apart") << "[2,4)" << true << 5 << 6 << "[2,4)[5,6)";
    QTest::newRow("bridging three") << "[1,2)[3,4)[6,8)[9,10)" << true << 2 << 7 << "[1,8)[9,10)";
    QTest::newRow("inside") << "[1,9)" << true << 3 << 4 << "[1,9)";
    QTest::newRow("unmark a middle") << "[1,9)" << false << 3 << 4 << "[1,3)[4,9)";
    QTest::newRow("unmark ends") << "[1,4)[6,9)" << false << 3 << 7 << "[1,3)[7,9)";
    QTest::newRow("unmark touching") << "[1,4)[6,9)" << false << 4 << 6 << "[1,4)[6,9)";
    QTest::newRow("unmark all") << "[1,4)[6,9)" << false << 0 << 20 << "";
}

void TestMarkedRanges::markAndUnmark()
{
    QFETCH(QString, before);
    QFETCH(bool, mark);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, after);
    MarkedRanges marked = made(before);
    if (mark)
        marked.mark(start, end);
    else
        marked.unmark(start, end);
    QCOMPARE(all(marked), after);
    QCOMPARE(marked.count(), parse(after).size());
}

void TestMarkedRanges::markSorted_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("added");
    QTest::addColumn<QString>("after");
    QTest::newRow("into nothing") << ""
                                  << "[1,2)[2,3)[5,6)"
                                  << "[1,3)[5,6)";
    QTest::newRow("between") << "[0,1)[4,5)[9,10)"
                             << "[2,3)[6,7)"
                             << "[0,1)[2,3)[4,5)[6,7)[9,10)";
    QTest::newRow("joining old ones") << "[0,2)[4,6)"
                                      << "[2,4)"
                                      << "[0,6)";
    QTest::newRow("overlapping") << "[3,8)"
                                 << "[1,4)[5,6)[7,12)"
                                 << "[1,12)";
    QTest::newRow("empty ones") << "[3,4)"
                                << "[1,1)[6,6)"
                                << "[3,4)";
    QTest::newRow("after the last") << "[0,2)[10,12)"
                                    << "[12,13)[22,23)"
                                    << "[0,2)[10,13)[22,23)";
    QTest::newRow("among many") << "[0,1)[4,5)[9,10)[20,21)"
                                << "[5,6)[9,12)"
                                << "[0,1)[4,6)[9,12)[20,21)";
}

// Comparisons hand over their ranges sorted; the result is the same as marking one by one.
void TestMarkedRanges::markSorted()
{
    QFETCH(QString, before);
    QFETCH(QString, added);
    QFETCH(QString, after);
    MarkedRanges marked = made(before);
    const QList<TextRange> ranges = parse(added);
    marked.markSorted(ranges.constData(), ranges.constData() + ranges.size());
    QCOMPARE(all(marked), after);
}

void TestMarkedRanges::replaced_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("inserted");
    QTest::addColumn<QString>("after");
    QTest::newRow("typed inside") << "[2,6)" << 4 << 4 << 3 << "[2,9)";
    QTest::newRow("typed at the end") << "[2,6)" << 6 << 6 << 2 << "[2,8)";
    QTest::newRow("typed at the start") << "[2,6)" << 2 << 2 << 2 << "[4,8)";
    QTest::newRow("typed at the text's start, red") << "[0,3)" << 0 << 0 << 2 << "[0,5)";
    QTest::newRow("typed at the text's start, black") << "[1,3)" << 0 << 0 << 2 << "[3,5)";
    QTest::newRow("over a red start, black before") << "[2,6)" << 2 << 4 << 1 << "[3,5)";
    QTest::newRow("over a red end, red before") << "[2,6)" << 4 << 8 << 3 << "[2,7)";
    QTest::newRow("over a red start at the text's start") << "[0,4)" << 0 << 2 << 1 << "[0,3)";
    QTest::newRow("deleted inside") << "[2,8)" << 3 << 5 << 0 << "[2,6)";
    QTest::newRow("deleted between, joined") << "[0,2)[4,6)" << 2 << 4 << 0 << "[0,4)";
    QTest::newRow("deleted a whole range") << "[1,2)[4,6)[8,9)" << 3 << 7 << 0 << "[1,2)[4,5)";
    QTest::newRow("deleted everything") << "[2,6)" << 0 << 10 << 0 << "";
    QTest::newRow("later ranges move") << "[1,2)[5,7)[9,10)" << 3 << 3 << 2 << "[1,2)[7,9)[11,12)";
    QTest::newRow("later ranges move back")
        << "[1,2)[5,7)[9,10)" << 3 << 5 << 1 << "[1,2)[4,6)[8,9)";
}

void TestMarkedRanges::replaced()
{
    QFETCH(QString, before);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(int, inserted);
    QFETCH(QString, after);
    MarkedRanges marked = made(before);
    marked.replaced(start, end, inserted);
    QCOMPARE(all(marked), after);
}

// Lookups after edits at moving places, when some ranges still wait for their shift.
void TestMarkedRanges::lookups()
{
    MarkedRanges marked = made(u"[10,20)[30,40)[50,60)[70,80)"_s);
    marked.replaced(75, 75, 5);
    marked.replaced(35, 35, 3);
    marked.replaced(15, 17, 0);
    QCOMPARE(all(marked), u"[10,18)[28,41)[51,61)[71,86)"_s);
    QCOMPARE(marked.next(10), (TextRange{28, 13}));
    QCOMPARE(marked.next(9), (TextRange{10, 8}));
    QCOMPARE(marked.next(71), TextRange{});
    QCOMPARE(marked.previous(51), (TextRange{28, 13}));
    QCOMPARE(marked.previous(52), (TextRange{51, 10}));
    QCOMPARE(marked.previous(10), TextRange{});
    QCOMPARE(written(marked.within(17, 53)), u"[17,18)[28,41)[51,53)"_s);
    QCOMPARE(written(marked.within(18, 28)), QString());
    QVERIFY(marked.contains(85));
    QVERIFY(!marked.contains(86));
    marked.clear();
    QVERIFY(marked.isEmpty());
    QCOMPARE(marked.next(0), TextRange{});
}

// Every change at random against a flag per byte, checked after each.
void TestMarkedRanges::randomChanges()
{
    QRandomGenerator random(16);
    MarkedRanges marked;
    MarkedBytesReference model;
    model.red.resize(60);
    for (int step = 0; step < 3000; ++step) {
        const auto size = int(model.red.size());
        int start = random.bounded(size + 1);
        int end = random.bounded(size + 1);
        if (start > end)
            std::swap(start, end);
        QByteArray change;
        switch (random.bounded(5)) {
        case 0:
            marked.mark(start, end);
            model.mark(start, end);
            change = "mark";
            break;
        case 1:
            marked.unmark(start, end);
            model.mark(start, end, false);
            change = "unmark";
            break;
        case 2: {
            QList<TextRange> ranges;
            for (int at = random.bounded(8); at < size; at += random.bounded(1, 12)) {
                const int length = std::min(random.bounded(5), size - at);
                ranges.append({at, length});
                model.mark(at, at + length);
            }
            marked.markSorted(ranges.constData(), ranges.constData() + ranges.size());
            change = "markSorted";
            break;
        }
        default: {
            // Mostly a few bytes typed or deleted, as a user edits; 20 to 100 bytes in all.
            end = start + random.bounded(std::min(4, size - start + 1));
            const int inserted = size > 100 ? 0 : random.bounded(size < 20 ? 10 : 6);
            marked.replaced(start, end, inserted);
            model.replaced(start, end, inserted);
            change = "replaced";
        }
        }
        const QByteArray mismatch = markedRangesMismatch(marked, model);
        QVERIFY2(mismatch.isEmpty(), QByteArray("step " + QByteArray::number(step) + " (" + change +
                                                ' ' + QByteArray::number(start) + ".." +
                                                QByteArray::number(end) + "): " + mismatch)
                                         .constData());
    }
}

QTEST_GUILESS_MAIN(TestMarkedRanges)
#include "tst_markedranges.moc"
