#include "TextStoreReference.h"
#include "pane/MarkedRanges.h"

#include <QtTest>

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

} // namespace

class TestMarkedRanges : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The rules at their edges, one change each: "mark start end", "unmark start end", "sorted"
    // followed by ranges handed over at once, "replace start end inserted" for an edit. The
    // random changes of the textstore fuzz target check the same against a flag per byte.
    void changes_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("after");
        // clang-format off
        QTest::newRow("touching before")         << "[2,4)"                 << "mark 0 2"     << "[0,4)";
        QTest::newRow("touching after")          << "[2,4)"                 << "mark 4 5"     << "[2,5)";
        QTest::newRow("one byte apart")          << "[2,4)"                 << "mark 5 6"     << "[2,4)[5,6)";
        QTest::newRow("bridging three")          << "[1,2)[3,4)[6,8)[9,10)" << "mark 2 7"     << "[1,8)[9,10)";
        QTest::newRow("unmark a middle")         << "[1,9)"                 << "unmark 3 4"   << "[1,3)[4,9)";
        QTest::newRow("unmark ends")             << "[1,4)[6,9)"            << "unmark 3 7"   << "[1,3)[7,9)";
        QTest::newRow("unmark touching")         << "[1,4)[6,9)"            << "unmark 4 6"   << "[1,4)[6,9)";
        QTest::newRow("sorted, touching")        << ""                      << "sorted [1,2)[2,3)[5,6)" << "[1,3)[5,6)";
        QTest::newRow("sorted, joining old")     << "[0,2)[4,6)"            << "sorted [2,4)" << "[0,6)";
        QTest::newRow("sorted, overlapping")     << "[3,8)"                 << "sorted [1,4)[5,6)[7,12)" << "[1,12)";
        QTest::newRow("sorted, empty ones")      << "[3,4)"                 << "sorted [1,1)[6,6)" << "[3,4)";
        QTest::newRow("sorted, after the last")  << "[0,2)[10,12)"          << "sorted [12,13)[22,23)" << "[0,2)[10,13)[22,23)";
        QTest::newRow("typed at the end")        << "[2,6)"                 << "replace 6 6 2" << "[2,8)";
        QTest::newRow("typed at the start")      << "[2,6)"                 << "replace 2 2 2" << "[4,8)";
        QTest::newRow("typed first, red")        << "[0,3)"                 << "replace 0 0 2" << "[0,5)";
        QTest::newRow("typed first, black")      << "[1,3)"                 << "replace 0 0 2" << "[3,5)";
        QTest::newRow("over a red start")        << "[2,6)"                 << "replace 2 4 1" << "[3,5)";
        QTest::newRow("over a red end")          << "[2,6)"                 << "replace 4 8 3" << "[2,7)";
        QTest::newRow("over a red first byte")   << "[0,4)"                 << "replace 0 2 1" << "[0,3)";
        QTest::newRow("deleted between, joined") << "[0,2)[4,6)"            << "replace 2 4 0" << "[0,4)";
        QTest::newRow("deleted a whole range")   << "[1,2)[4,6)[8,9)"       << "replace 3 7 0" << "[1,2)[4,5)";
        // clang-format on
    }

    void changes()
    {
        QFETCH(QString, before);
        QFETCH(QString, change);
        QFETCH(QString, after);
        MarkedRanges marked;
        const QList<TextRange> old = parse(before);
        marked.markSorted(old.constData(), old.constData() + old.size());
        const QStringList words = change.split(u' ');
        const auto at = [&words](int i) { return qsizetype(words.value(i).toLongLong()); };
        const QList<TextRange> ranges = parse(change);
        if (words[0] == u"mark"_s)
            marked.mark(at(1), at(2));
        else if (words[0] == u"unmark"_s)
            marked.unmark(at(1), at(2));
        else if (words[0] == u"sorted"_s)
            marked.markSorted(ranges.constData(), ranges.constData() + ranges.size());
        else
            marked.replaced(at(1), at(2), at(3));
        // The ranges, and every lookup, against the flags of the bytes.
        MarkedBytesReference model;
        model.red.resize(25);
        for (const TextRange &r : parse(after))
            model.mark(r.start, r.start + r.length);
        const QByteArray mismatch = markedRangesMismatch(marked, model);
        QVERIFY2(mismatch.isEmpty(), mismatch.constData());
    }
};

QTEST_GUILESS_MAIN(TestMarkedRanges)
#include "tst_markedranges.moc"
