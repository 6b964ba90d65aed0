#include "TextStoreReference.h"
#include "pane/TextStore.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

struct Edit
{
    qsizetype start;
    qsizetype end;
    QByteArray text;
};

// Longer than the store's blocks, with characters of every length, so that blocks are cut
// beside multi-byte characters and line breaks.
QByteArray longText(int lines)
{
    QByteArray text;
    for (int i = 0; i < lines; ++i)
        text += "line " + QByteArray::number(i) + " \u00e9\u20ac\U0001F600 x\r\n"_ba;
    return text;
}

// position, or the next character boundary that splits no CR LF: where an edit may start or end.
qsizetype boundaryAt(const QByteArray &text, qsizetype position)
{
    while (position < text.size() &&
           ((text[position] & 0xc0) == 0x80 ||
            (position > 0 && text[position] == '\n' && text[position - 1] == '\r')))
        ++position;
    return position;
}

} // namespace

Q_DECLARE_METATYPE(Edit)

class TestTextStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void edits_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<Edit>>("edits");
        const QByteArray lines = "ab\r\ncd\u00e9\r\n\U0001F600f"_ba;
        const QByteArray blocks = longText(600);
        // clang-format off
        QTest::newRow("into an empty text")           << QByteArray() << QList<Edit>{{0, 0, "a\r\nb"}};
        QTest::newRow("delete everything")            << lines << QList<Edit>{{0, 15, ""}, {0, 0, "\r\n"}};
        QTest::newRow("replace across breaks")        << lines << QList<Edit>{{1, 10, "\u00e9\r\n\r\nq"}};
        QTest::newRow("replace a break with a break") << lines << QList<Edit>{{2, 4, "\r\n"}};
        QTest::newRow("break before a break")         << lines << QList<Edit>{{2, 2, "\r\n"}, {4, 4, "x"}};
        QTest::newRow("gap moves back and forth")     << lines << QList<Edit>{{10, 10, "1"}, {11, 11, "2"}, {2, 2, "3"}, {17, 17, "4"}, {0, 1, ""}, {12, 16, ""}, {4, 4, "5"}};
        QTest::newRow("across blocks")                << blocks << QList<Edit>{{4000, 12000, "x\r\ny"}, {4090, 4090, "\u20ac"}};
        QTest::newRow("a block grown past its size")  << blocks << QList<Edit>{{5000, 5000, longText(300)}, {5001, 5001, "\r\n"}};
        QTest::newRow("the first block emptied")      << blocks << QList<Edit>{{0, 4096, ""}, {0, 0, "\U0001F600"}};
        QTest::newRow("typing in a long text")        << blocks << QList<Edit>{{9000, 9000, "a"}, {9001, 9001, "b"}, {9002, 9002, "\r\n"}, {9001, 9004, ""}, {100, 100, "c"}, {12000, 12000, "d"}};
        // clang-format on
    }

    // The text as set, then after every edit, against the same edits of plain bytes; places in
    // the long texts move on to the next character boundary. The bytes set stay shared with the
    // caller until the first edit, which must not reach them.
    void edits()
    {
        QFETCH(QByteArray, text);
        QFETCH(QList<Edit>, edits);
        const QByteArray original(text.constData(), text.size());
        TextStore store;
        store.setText(text);
        QCOMPARE(store.sharedBytes().constData(), text.constData());
        QByteArray model = text;
        for (qsizetype i = 0; i <= edits.size(); ++i) {
            if (i > 0) {
                const Edit &edit = edits[i - 1];
                const qsizetype start = boundaryAt(model, edit.start);
                const qsizetype end = boundaryAt(model, edit.end);
                store.replace(start, end, edit.text);
                model.replace(start, end - start, edit.text);
            }
            const QByteArray mismatch = textStoreMismatch(store, model, i == edits.size());
            QVERIFY2(mismatch.isEmpty(),
                     qPrintable(u"after %1 edits: %2"_s.arg(i).arg(QLatin1StringView(mismatch))));
        }
        QCOMPARE(store.sharedBytes(), model);
        QCOMPARE(text, original);
    }
};

QTEST_GUILESS_MAIN(TestTextStore)
#include "tst_textstore.moc"
