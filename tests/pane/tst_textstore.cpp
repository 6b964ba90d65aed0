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

QByteArray show(const QByteArray &text)
{
    return text.size() > 80 ? text.left(80).toPercentEncoding() + "..." : text.toPercentEncoding();
}

} // namespace

Q_DECLARE_METATYPE(Edit)

class TestTextStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mapping_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("every length") << u"a\u00e9b\u20ac1\U0001F600\U0001F601"_s;
        QTest::newRow("only a break") << u"\r\n"_s;
        QTest::newRow("breaks at both ends, after a pair") << u"\r\na\U0001F600\r\n\u00e9\r\n"_s;
        QTest::newRow("empty lines") << u"\r\n\r\n\r\n"_s;
        QTest::newRow("blocks") << QString::fromUtf8(longText(250));
    }

    // The store's own mapping checked against the reference, called plainly for every position.
    void mapping()
    {
        QFETCH(QString, text);
        const PaneTextReference ref(text);
        TextStore store;
        store.setText(ref.text.toUtf8());
        const QByteArray mismatch = textStoreMismatch(store, ref.text.toUtf8());
        QVERIFY2(mismatch.isEmpty(), QByteArray(mismatch).constData());
        // Lines outside the text stand for the first and the last.
        const qsizetype last = store.lineCount() - 1;
        QCOMPARE(QList<qsizetype>({store.lineStart(-1), store.lineEnd(-1)}),
                 QList<qsizetype>({0, store.lineEnd(0)}));
        QCOMPARE(QList<qsizetype>({store.lineStart(last + 1), store.lineEnd(last + 1)}),
                 QList<qsizetype>({store.lineStart(last), store.lineEnd(last)}));
    }

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

    // Every edit checked against the same edit of plain bytes, after every step. Places in the long
    // texts are moved on to the next character boundary.
    void edits()
    {
        QFETCH(QByteArray, text);
        QFETCH(QList<Edit>, edits);
        TextStore store;
        store.setText(text);
        QByteArray model = text;
        for (qsizetype i = 0; i < edits.size(); ++i) {
            Edit edit = edits[i];
            edit.start = boundaryAt(model, edit.start);
            edit.end = boundaryAt(model, edit.end);
            store.replace(edit.start, edit.end, edit.text);
            model.replace(edit.start, edit.end - edit.start, edit.text);
            const QByteArray mismatch = textStoreMismatch(store, model, i + 1 == edits.size());
            QVERIFY2(mismatch.isEmpty(),
                     QByteArray("after replacing " + QByteArray::number(edit.start) + ".." +
                                QByteArray::number(edit.end) + ": " + mismatch)
                         .constData());
        }
    }

    // Edits at random places, so that the gap and the index steps move both ways, and a text set
    // anew now and then; each against the plain bytes.
    void randomEdits()
    {
        static const QList<QByteArray> pieces{"a",         "\t",        "\r\n",
                                              "\u00e9"_ba, "\u20ac"_ba, "\U0001F600"_ba};
        QRandomGenerator random(16);
        TextStore store;
        QByteArray model;
        const auto boundary = [&] {
            return boundaryAt(model, random.bounded(int(model.size()) + 1));
        };
        for (int step = 0; step < 300; ++step) {
            if (step % 75 == 0) {
                model = step == 0 ? QByteArray() : longText(random.bounded(1, 50));
                store.setText(model);
            }
            qsizetype start = boundary();
            qsizetype end = boundary();
            if (start > end)
                std::swap(start, end);
            if (random.bounded(3) == 0)
                end = start;
            QByteArray inserted;
            for (int n = random.bounded(4); n > 0; --n)
                inserted += pieces[random.bounded(int(pieces.size()))];
            if (random.bounded(25) == 0)
                inserted = longText(random.bounded(1, 250));
            store.replace(start, end, inserted);
            model.replace(start, end - start, inserted);
            const QByteArray mismatch =
                textStoreMismatch(store, model, random.bounded(4) == 0, start);
            QVERIFY2(mismatch.isEmpty(), QByteArray("step " + QByteArray::number(step) + ", " +
                                                    show(model) + ": " + mismatch)
                                             .constData());
        }
    }

    // The bytes set stay shared with the caller, and with what sharedBytes() hands out, until the
    // first edit, which must reach neither.
    void setTextKeepsTheCallersBytes()
    {
        const QByteArray original = "ab\r\ncd"_ba;
        for (const Edit &edit : {Edit{1, 2, ""}, Edit{1, 1, "x"}, Edit{1, 2, "yyy"}}) {
            TextStore store;
            store.setText(original);
            const QByteArray shared = store.sharedBytes();
            QCOMPARE(shared.constData(), original.constData());
            store.replace(edit.start, edit.end, edit.text);
            QByteArray expected = original;
            expected.replace(edit.start, edit.end - edit.start, edit.text);
            QCOMPARE(store.bytes(), expected);
            QCOMPARE(store.sharedBytes(), expected);
            QCOMPARE(original, "ab\r\ncd"_ba);
            QCOMPARE(shared, original);
        }
    }
};

QTEST_GUILESS_MAIN(TestTextStore)
#include "tst_textstore.moc"
