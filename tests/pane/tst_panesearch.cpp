#include "pane/PaneSearch.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

qsizetype bytesBefore(const QString &text, qsizetype index)
{
    return text.left(index).toUtf8().size();
}

} // namespace

class TestPaneSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Positions are characters of the text; -1 means nothing found. Every row is searched with
    // the default slice and with slices of a few bytes, which cut matches and characters apart.
    void find_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWords");
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("backwards");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("wrapped");

        const QString two = u"one Two two"_s;
        const QString apples = u"Stra\u00dfe \u00c4PFEL \u00e4pfel"_s;
        // clang-format off
        QTest::newRow("case-blind")                  << two << u"two"_s << false << false << 0 << false << 4 << 3 << false;
        QTest::newRow("case matters")                << two << u"two"_s << true << false << 0 << false << 8 << 3 << false;
        QTest::newRow("from a match's start")        << two << u"TWO"_s << false << false << 4 << false << 4 << 3 << false;
        QTest::newRow("from after a match")          << two << u"TWO"_s << false << false << 5 << false << 8 << 3 << false;
        QTest::newRow("backwards from the end")      << two << u"two"_s << false << false << 11 << true << 8 << 3 << false;
        QTest::newRow("backwards from a match")      << two << u"two"_s << false << false << 8 << true << 4 << 3 << false;
        QTest::newRow("wraps at the end")            << u"two one"_s << u"two"_s << true << false << 1 << false << 0 << 3 << true;
        QTest::newRow("wraps at the start")          << u"one two"_s << u"two"_s << true << false << 0 << true << 4 << 3 << true;
        QTest::newRow("only itself, wrapping")       << u"one two"_s << u"two"_s << true << false << 7 << false << 4 << 3 << true;
        QTest::newRow("not found")                   << two << u"three"_s << false << false << 0 << false << -1 << 0 << false;
        QTest::newRow("longer than the text")        << u"ab"_s << u"abc"_s << false << false << 0 << false << -1 << 0 << false;
        QTest::newRow("overlapping")                 << u"aaa"_s << u"aa"_s << true << false << 1 << false << 1 << 2 << false;
        QTest::newRow("last bytes")                  << u"xx end"_s << u"end"_s << true << false << 0 << false << 3 << 3 << false;
        QTest::newRow("whole word, not inside one")  << u"twofold two"_s << u"two"_s << false << true << 0 << false << 8 << 3 << false;
        QTest::newRow("whole word, underscore joins") << u"a_two two"_s << u"two"_s << false << true << 0 << false << 6 << 3 << false;
        QTest::newRow("whole word, accent joins")    << u"\u00e9two two"_s << u"two"_s << false << true << 0 << false << 5 << 3 << false;
        QTest::newRow("whole word, punctuation")     << u"(two)"_s << u"two"_s << false << true << 0 << false << 1 << 3 << false;
        QTest::newRow("whole word, none")            << u"twos"_s << u"two"_s << false << true << 0 << false << -1 << 0 << false;
        QTest::newRow("non-ASCII case-blind")        << apples << u"\u00e4pfel"_s << false << false << 0 << false << 7 << 5 << false;
        QTest::newRow("non-ASCII case matters")      << apples << u"\u00e4pfel"_s << true << false << 0 << false << 13 << 5 << false;
        QTest::newRow("accented around a caseless key") << u"\u00c4PFEL\u00d6 \u00e4pfel\u00f6"_s << u"\u00e4pfel\u00f6"_s << false << false << 1 << false << 7 << 6 << false;
        QTest::newRow("caseless key at the start")   << u"pfel \u00e4pfel"_s << u"\u00c4PFEL"_s << false << false << 0 << false << 5 << 5 << false;
        QTest::newRow("caseless key, backwards")     << u"\u00c4pfel \u00e4PFEL x"_s << u"\u00c4PFEL"_s << false << false << 13 << true << 6 << 5 << false;
        QTest::newRow("Cyrillic backwards")          << u"Привет мир ПРИВЕТ"_s << u"привет"_s << false << false << 17 << true << 11 << 6 << false;
        QTest::newRow("Cyrillic whole word, wrapping") << u"Приветы привет"_s << u"ПРИВЕТ"_s << false << true << 9 << false << 8 << 6 << true;
        QTest::newRow("Arabic inside a word")        << u"مرحبا بالعالم"_s << u"العالم"_s << false << false << 0 << false << 7 << 6 << false;
        QTest::newRow("Arabic whole word")           << u"مرحبا بالعالم"_s << u"العالم"_s << false << true << 0 << false << -1 << 0 << false;
        QTest::newRow("surrogate pairs")             << u"a\U0001F600b\U0001F600"_s << u"\U0001F600b"_s << true << false << 0 << false << 1 << 3 << false;
        QTest::newRow("line break in the way")       << u"tw\r\no two"_s << u"two"_s << false << false << 0 << false << 6 << 3 << false;
        // clang-format on
    }

    void find()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWords);
        QFETCH(int, from);
        QFETCH(bool, backwards);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(bool, wrapped);

        const QByteArray bytes = text.toUtf8();
        const PaneSearch search(pattern, matchCase, wholeWords);
        for (const qsizetype slice : {PaneSearch::defaultSlice, qsizetype(1), qsizetype(3)}) {
            const auto found = search.find(bytes, bytesBefore(text, from), backwards, {}, slice);
            QCOMPARE(found.has_value(), start >= 0);
            if (found) {
                QCOMPARE(found->range.start, bytesBefore(text, start));
                QCOMPARE(found->range.length,
                         bytesBefore(text, start + length) - bytesBefore(text, start));
                QCOMPARE(found->wrapped, wrapped);
            }
        }
    }

    void emptyPatternFindsNothing()
    {
        QVERIFY(PaneSearch(QString(), false, false).isEmpty());
        QVERIFY(!PaneSearch(QString(), true, false).find("abc", 0, false));
    }

    // A slice hands control back between slices, so a long text pauses again and again.
    void pausesBetweenSlices()
    {
        const QByteArray text = QByteArray(1000, 'x') + "needle";
        int pauses = 0;
        const auto found = PaneSearch(u"needle"_s, true, false)
                               .find(
                                   text, 0, false, [&] { ++pauses; }, 100);
        QVERIFY(found);
        QCOMPARE(found->range.start, 1000);
        QCOMPARE(pauses, 10);
    }
};

QTEST_APPLESS_MAIN(TestPaneSearch)
#include "tst_panesearch.moc"
