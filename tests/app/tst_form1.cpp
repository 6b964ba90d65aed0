#include "TestServices.h"
#include "app/Form1.h"
#include "app/WaitPointer.h"
#include "pane/RichTextPane.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

const QString absent = QStringLiteral("<absent>");

void presetUnlessAbsent(FakeSettingsStore &settings, const QString &key, const QString &value)
{
    if (value != absent)
        settings.preset(key, value);
}

bool sourcesShown(const Form1 &form)
{
    return !form.RichTextBox1->isHidden() && !form.RichTextBox2->isHidden() &&
           form.RichTextBox3->isHidden() && form.RichTextBox4->isHidden();
}

bool resultsShown(const Form1 &form)
{
    return form.RichTextBox1->isHidden() && form.RichTextBox2->isHidden() &&
           !form.RichTextBox3->isHidden() && !form.RichTextBox4->isHidden();
}

// The next of the window's focusable controls in the focus chain, passing over the inner
// widgets of the panes.
QWidget *nextControl(const Form1 &form, QWidget *control)
{
    const QList<QWidget *> controls{form.RichTextBox1, form.RichTextBox2, form.RichTextBox3,
                                    form.RichTextBox4, form.PushButton1,  form.PushButton2,
                                    form.PushButton3,  form.PushButton4,  form.PushButton5,
                                    form.PushButton6,  form.Option1,      form.Option2,
                                    form.Option3,      form.Option4};
    QWidget *next = control->nextInFocusChain();
    while (!controls.contains(next))
        next = next->nextInFocusChain();
    return next;
}

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void startUpRestoresStoredChoices_data();
    void startUpRestoresStoredChoices();
    void startUpShowsEmptyPanesAndTitle();
    void displayModeHandlingStoresAndSwapsPanes();
    void methodHandlingTogglesTheLinesButton();
    void failedSettingsWriteIsReportedOnce();
    void controlsAreCreatedAsDesigned();
    void windowIsCentredAboveTheMiddle();
    void layoutAfterShowingOverlaysResultPanes();
    void waitPointerReturnsOnEveryPath();
    void closingStopsARunningOperation();
};

void TestForm1::startUpRestoresStoredChoices_data()
{
    QTest::addColumn<QString>("comparison");
    QTest::addColumn<QString>("option2");
    QTest::addColumn<QString>("option1");
    QTest::addColumn<bool>("wordMethod");
    QTest::addColumn<bool>("highlightMode");
    QTest::addColumn<QString>("storedComparison");

    QTest::newRow("first run") << absent << absent << absent << false << false << "1";
    QTest::newRow("word method") << "2" << absent << absent << true << false << "2";
    QTest::newRow("empty method text") << "" << absent << absent << true << false << "2";
    QTest::newRow("other method text") << "x" << absent << absent << true << false << "2";
    QTest::newRow("highlight mode") << "1"
                                    << "False"
                                    << "True" << false << true << "1";
    QTest::newRow("numbers") << "1"
                             << "1"
                             << "0" << false << false << "1";
    QTest::newRow("highlight as numbers") << "1"
                                          << "0"
                                          << "-1" << false << true << "1";
    QTest::newRow("any letter case") << "1"
                                     << "FALSE"
                                     << "true" << false << true << "1";
    QTest::newRow("both true: option2 wins") << "1"
                                             << "True"
                                             << "True" << false << false << "1";
    QTest::newRow("neither selected") << "1"
                                      << "False"
                                      << "False" << false << false << "1";
    QTest::newRow("garbage option2") << "1"
                                     << "maybe"
                                     << "True" << false << false << "1";
    QTest::newRow("garbage option1") << "1"
                                     << "False"
                                     << "maybe" << false << false << "1";
}

void TestForm1::startUpRestoresStoredChoices()
{
    QFETCH(QString, comparison);
    QFETCH(QString, option2);
    QFETCH(QString, option1);
    QFETCH(bool, wordMethod);
    QFETCH(bool, highlightMode);
    QFETCH(QString, storedComparison);

    TestServices test;
    presetUnlessAbsent(test.settings, "Comparison", comparison);
    presetUnlessAbsent(test.settings, "Option2", option2);
    presetUnlessAbsent(test.settings, "Option1", option1);
    Form1 form(test.services);

    QCOMPARE(form.Option4->isChecked(), wordMethod);
    QCOMPARE(form.Option3->isChecked(), !wordMethod);
    QCOMPARE(form.PushButton1->isEnabled(), !wordMethod);
    QCOMPARE(form.Option1->isChecked(), highlightMode);
    QCOMPARE(form.Option2->isChecked(), !highlightMode);
    QVERIFY(highlightMode ? sourcesShown(form) : resultsShown(form));
    // The settings agree with the selected buttons from the start.
    QCOMPARE(test.settings.stored("Comparison"), storedComparison);
    QCOMPARE(test.settings.stored("Option1"), highlightMode ? "True" : "False");
    QCOMPARE(test.settings.stored("Option2"), highlightMode ? "False" : "True");
    QVERIFY(test.messages.shown.isEmpty());
}

void TestForm1::startUpShowsEmptyPanesAndTitle()
{
    TestServices test;
    Form1 form(test.services);
    QCOMPARE(form.windowTitle(), QStringLiteral("Parvenex"));
    for (RichTextPane *pane :
         {form.RichTextBox1, form.RichTextBox2, form.RichTextBox3, form.RichTextBox4})
        QCOMPARE(pane->text(), QString());
    QCOMPARE(form.mousePointer(), Form1::defaultPointer);
}

void TestForm1::displayModeHandlingStoresAndSwapsPanes()
{
    TestServices test;
    Form1 form(test.services);
    form.RichTextBox1->setText("source one");
    form.RichTextBox3->setText("result one");
    test.settings.writes.clear();

    form.Option1->click();
    QVERIFY(sourcesShown(form));
    const QList<FakeSettingsStore::Write> toHighlight{{"Option2", "False"}, {"Option1", "True"}};
    QCOMPARE(test.settings.writes, toHighlight);

    test.settings.writes.clear();
    form.Option2->click();
    QVERIFY(resultsShown(form));
    const QList<FakeSettingsStore::Write> toResults{{"Option2", "True"}, {"Option1", "False"}};
    QCOMPARE(test.settings.writes, toResults);

    // Selecting what is already selected runs the handling again.
    test.settings.writes.clear();
    form.select(form.Option2);
    QCOMPARE(test.settings.writes, toResults);

    QCOMPARE(form.RichTextBox1->text(), QStringLiteral("source one"));
    QCOMPARE(form.RichTextBox3->text(), QStringLiteral("result one"));
}

void TestForm1::methodHandlingTogglesTheLinesButton()
{
    TestServices test;
    Form1 form(test.services);
    form.select(form.Option4);
    QVERIFY(!form.PushButton1->isEnabled());
    QCOMPARE(test.settings.stored("Comparison"), QStringLiteral("2"));
    form.select(form.Option3);
    QVERIFY(form.PushButton1->isEnabled());
    QCOMPARE(test.settings.stored("Comparison"), QStringLiteral("1"));
    QVERIFY(!form.Option4->isChecked());
}

void TestForm1::failedSettingsWriteIsReportedOnce()
{
    TestServices test;
    test.settings.failWrites = true;
    Form1 form(test.services);
    form.Option1->click();
    form.Option2->click();
    QCOMPARE(test.messages.shown.size(), 1);
    QCOMPARE(test.messages.shown.first().kind, FakeMessageBoxes::Kind::Warn);
    QVERIFY(test.messages.shown.first().text.contains("disk full"));
    // The choice still takes effect.
    QVERIFY(resultsShown(form));
}

void TestForm1::controlsAreCreatedAsDesigned()
{
    TestServices test;
    Form1 form(test.services);
    const float twipsPerPixel = 1440.0f / float(form.logicalDpiX());
    const auto px = [&](float twips) { return int(std::lround(twips / twipsPerPixel)); };
    QCOMPARE(form.size(), QSize(px(9000), px(7425)));
    QCOMPARE(form.PushButton6->geometry(), QRect(px(120), px(5760), px(8760), px(420)));
    QCOMPARE(form.Option1->geometry(), QRect(px(240), px(650), px(7455), px(255)));
    // The method group lies below the client area.
    QVERIFY(form.Frame1->y() >= form.height());
    QCOMPARE(form.Option4->parentWidget(), form.Frame1);
    QCOMPARE(form.Option1->parentWidget(), form.Frame2);
    QCOMPARE(form.Frame2->title(), QStringLiteral("Comparision Options"));
    QCOMPARE(form.PushButton6->font().pointSizeF(), 11.25);
    QVERIFY(form.Label1->font().bold());
    QCOMPARE(form.palette().color(QPalette::Window), QColor(Qt::white));

    // Tab order: the method group, then the button rows, then the display-mode group.
    QCOMPARE(nextControl(form, form.RichTextBox1), form.RichTextBox2);
    QCOMPARE(nextControl(form, form.RichTextBox4), form.Option3);
    QCOMPARE(nextControl(form, form.Option4), form.PushButton3);
    QCOMPARE(nextControl(form, form.PushButton5), form.PushButton1);
    QCOMPARE(nextControl(form, form.PushButton6), form.Option1);
}

void TestForm1::windowIsCentredAboveTheMiddle()
{
    TestServices test;
    Form1 form(test.services);
    const QRect screen = form.screen()->geometry();
    const QRect frame = form.frameGeometry();
    const float twipsPerPixel = 1440.0f / float(form.logicalDpiX());
    QVERIFY(qAbs(frame.left() - (screen.left() + (screen.width() - frame.width()) / 2)) <= 1);
    const int raise = int(std::lround(1000 / twipsPerPixel));
    QVERIFY(qAbs(frame.top() - (screen.top() + (screen.height() - frame.height()) / 2 - raise)) <=
            1);
}

void TestForm1::layoutAfterShowingOverlaysResultPanes()
{
    TestServices test;
    Form1 form(test.services);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.RichTextBox3->geometry(), form.RichTextBox1->geometry());
    QCOMPARE(form.RichTextBox4->geometry(), form.RichTextBox2->geometry());
    QCOMPARE(form.RichTextBox2->leftTwips() -
                 (form.RichTextBox1->leftTwips() + form.RichTextBox1->widthTwips()),
             100.0f);
    QCOMPARE(form.RichTextBox1->widthTwips(), form.RichTextBox2->widthTwips());
    QCOMPARE(form.RichTextBox3->heightTwips(), 4335.0f);

    const QRect before = form.RichTextBox2->geometry();
    form.showMinimized();
    form.showNormal();
    QCOMPARE(form.RichTextBox2->geometry(), before);
}

void TestForm1::waitPointerReturnsOnEveryPath()
{
    TestServices test;
    Form1 form(test.services);
    try {
        WaitPointer wait(form);
        QCOMPARE(form.mousePointer(), Form1::waitPointer);
        QCOMPARE(form.cursor().shape(), Qt::WaitCursor);
        QCOMPARE(form.RichTextBox2->viewport()->cursor().shape(), Qt::WaitCursor);
        throw std::runtime_error("operation failed");
    } catch (const std::runtime_error &) {
    }
    QCOMPARE(form.mousePointer(), Form1::defaultPointer);
    QCOMPARE(form.RichTextBox2->viewport()->cursor().shape(), Qt::IBeamCursor);
    form.setMousePointer(Form1::customPointer);
    QCOMPARE(form.cursor().shape(), Qt::PointingHandCursor);
}

void TestForm1::closingStopsARunningOperation()
{
    TestServices test;
    Form1 form(test.services);
    form.show();
    QVERIFY(form.yieldToEventLoop());
    // The user closes the window while an operation yields.
    QTimer::singleShot(0, &form, &QWidget::close);
    QVERIFY(!form.yieldToEventLoop());
    QVERIFY(form.isClosed());
    QVERIFY(!form.yieldToEventLoop());
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
