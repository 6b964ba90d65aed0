#include "pane/PaneSearch.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestPaneSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Positions are characters of the text; "found" is the match's start and length, and
    // whether the search wrapped. Every row is searched with the default slice and with slices
    // of a few bytes, which cut matches and characters apart.
    void find_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("options"); // case, words, back
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("found");

        const QString two = u"one Two two"_s;
        const QString apples = u"Stra\u00dfe \u00c4PFEL \u00e4pfel"_s;
        // clang-format off
        QTest::newRow("case matters")                   << two << u"two"_s << u"case"_s << 0 << u"8+3"_s;
        QTest::newRow("from a match's start")           << two << u"TWO"_s << u""_s << 4 << u"4+3"_s;
        QTest::newRow("from after a match")             << two << u"TWO"_s << u""_s << 5 << u"8+3"_s;
        QTest::newRow("backwards from a match")         << two << u"two"_s << u"back"_s << 8 << u"4+3"_s;
        QTest::newRow("wraps at the end")               << u"two one"_s << u"two"_s << u"case"_s << 1 << u"0+3 wrapped"_s;
        QTest::newRow("wraps at the start")             << u"one two"_s << u"two"_s << u"case back"_s << 0 << u"4+3 wrapped"_s;
        QTest::newRow("only itself, wrapping")          << u"one two"_s << u"two"_s << u"case"_s << 7 << u"4+3 wrapped"_s;
        QTest::newRow("not found")                      << two << u"three"_s << u""_s << 0 << u""_s;
        QTest::newRow("longer than the text")           << u"ab"_s << u"abc"_s << u""_s << 0 << u""_s;
        QTest::newRow("last bytes")                     << u"xx end"_s << u"end"_s << u"case"_s << 0 << u"3+3"_s;
        QTest::newRow("whole word, not inside one")     << u"twofold two"_s << u"two"_s << u"words"_s << 0 << u"8+3"_s;
        QTest::newRow("whole word, underscore joins")   << u"a_two two"_s << u"two"_s << u"words"_s << 0 << u"6+3"_s;
        QTest::newRow("whole word, accent joins")       << u"\u00e9two two"_s << u"two"_s << u"words"_s << 0 << u"5+3"_s;
        QTest::newRow("non-ASCII case-blind")           << apples << u"\u00e4pfel"_s << u""_s << 0 << u"7+5"_s;
        QTest::newRow("non-ASCII case matters")         << apples << u"\u00e4pfel"_s << u"case"_s << 0 << u"13+5"_s;
        QTest::newRow("accented around a caseless key") << u"\u00c4PFEL\u00d6 \u00e4pfel\u00f6"_s << u"\u00e4pfel\u00f6"_s << u""_s << 1 << u"7+6"_s;
        QTest::newRow("caseless key at the start")      << u"pfel \u00e4pfel"_s << u"\u00c4PFEL"_s << u""_s << 0 << u"5+5"_s;
        QTest::newRow("caseless key, backwards")        << u"\u00c4pfel \u00e4PFEL x"_s << u"\u00c4PFEL"_s << u"back"_s << 13 << u"6+5"_s;
        QTest::newRow("Cyrillic whole word, wrapping")  << u"Приветы привет"_s << u"ПРИВЕТ"_s << u"words"_s << 9 << u"8+6 wrapped"_s;
        QTest::newRow("Arabic whole word")              << u"مرحبا بالعالم"_s << u"العالم"_s << u"words"_s << 0 << u""_s;
        QTest::newRow("surrogate pairs")                << u"a\U0001F600b\U0001F600"_s << u"\U0001F600b"_s << u"case"_s << 0 << u"1+3"_s;
        QTest::newRow("line break in the way")          << u"tw\r\no two"_s << u"two"_s << u""_s << 0 << u"6+3"_s;
        QTest::newRow("empty pattern")                  << two << QString() << u""_s << 0 << u""_s;
        // clang-format on
    }

    void find()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(QString, options);
        QFETCH(int, from);
        const QByteArray bytes = text.toUtf8();
        const auto characters = [&](qsizetype b) {
            return QString::fromUtf8(bytes.left(b)).size();
        };
        const PaneSearch search(pattern, options.contains(u"case"_s), options.contains(u"words"_s));
        for (const qsizetype slice : {PaneSearch::defaultSlice, qsizetype(1), qsizetype(3)}) {
            const auto found = search.find(bytes, text.left(from).toUtf8().size(),
                                           options.contains(u"back"_s), {}, slice);
            const qsizetype start = found ? characters(found->range.start) : 0;
            QTEST(found ? u"%1+%2%3"_s.arg(start)
                              .arg(characters(found->range.start + found->range.length) - start)
                              .arg(found->wrapped ? u" wrapped"_s : QString())
                        : QString(),
                  "found");
        }
    }
};

QTEST_APPLESS_MAIN(TestPaneSearch)
#include "tst_panesearch.moc"
