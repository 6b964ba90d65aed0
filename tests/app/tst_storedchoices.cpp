#include "app/StoredChoices.h"

#include <QTest>

using namespace StoredChoices;

class TestStoredChoices : public QObject
{
    Q_OBJECT

private slots:
    void booleanTexts_data();
    void booleanTexts();
    void comparisonMethod_data();
    void comparisonMethod();
};

void TestStoredChoices::booleanTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // 1 true, 0 false, -1 no Boolean
    QTest::newRow("True") << "True" << 1;
    QTest::newRow("false") << "false" << 0;
    QTest::newRow("TRUE") << "TRUE" << 1;
    QTest::newRow("one") << "1" << 1;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("minus one") << "-1" << 1;
    QTest::newRow("fraction") << "0.5" << 1;
    QTest::newRow("zero point zero") << "0.0" << 0;
    QTest::newRow("padded") << " 0 " << 0;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("yes") << "yes" << -1;
    QTest::newRow("Truth") << "Truth" << -1;
}

void TestStoredChoices::booleanTexts()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    const std::optional<bool> value = readBoolean(text);
    QCOMPARE(value.has_value(), expected >= 0);
    if (value)
        QCOMPARE(*value, expected == 1);
}

void TestStoredChoices::comparisonMethod_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("standard");
    QTest::newRow("1") << "1" << true;
    QTest::newRow("2") << "2" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("padded 1") << " 1" << false;
    QTest::newRow("01") << "01" << false;
}

void TestStoredChoices::comparisonMethod()
{
    QFETCH(QString, text);
    QFETCH(bool, standard);
    QCOMPARE(isStandardMethod(text), standard);
}

QTEST_GUILESS_MAIN(TestStoredChoices)
#include "tst_storedchoices.moc"
