#include "TestServices.h"
#include "app/Form1.h"
#include "app/PaneLayout.h"
#include "app/WaitPointer.h"
#include "pane/RichTextPane.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

// The numbers of the panes that are not hidden, e.g. "34".
QString shownPanes(const Form1 &form)
{
    const RichTextPane *panes[] = {form.RichTextBox1, form.RichTextBox2, form.RichTextBox3,
                                   form.RichTextBox4};
    QString shown;
    for (int n = 0; n < 4; ++n)
        shown += panes[n]->isHidden() ? QString() : QString::number(n + 1);
    return shown;
}

QList<float> twips(const RichTextPane *pane)
{
    return {pane->leftTwips(), pane->topTwips(), pane->widthTwips(), pane->heightTwips()};
}

// The next control in the focus chain, passing over the panes' inner widgets and the groups.
QWidget *nextControl(QWidget *control)
{
    do
        control = control->nextInFocusChain();
    while (!qobject_cast<RichTextPane *>(control) && !qobject_cast<QAbstractButton *>(control));
    return control;
}

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    // Start-up with stored settings, then the options selected in turn and what the last one
    // writes. Whatever happened, the settings agree with the selected buttons.
    void choicesAreRestoredStoredAndApplied_data()
    {
        QTest::addColumn<QString>("stored"); // "key=text" separated by ';'
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("written");
        QTest::addColumn<bool>("wordMethod");
        QTest::addColumn<bool>("highlight");
        // clang-format off
        QTest::newRow("first run")           << ""                            << ""   << ""                           << false << false;
        QTest::newRow("word method")         << "Comparison=2"                << ""   << ""                           << true  << false;
        QTest::newRow("empty method text")   << "Comparison="                 << ""   << ""                           << true  << false;
        QTest::newRow("any letter case")     << "Option2=fALSE;Option1=true"  << ""   << ""                           << false << true;
        QTest::newRow("numbers")             << "Option2= 0.0 ;Option1=-0.5"  << ""   << ""                           << false << true;
        QTest::newRow("Option2 wins")        << "Option2=True;Option1=True"   << ""   << ""                           << false << false;
        QTest::newRow("neither selected")    << "Option2=False;Option1=0"     << ""   << ""                           << false << false;
        QTest::newRow("True1 is no Boolean") << "Option2=False;Option1=True1" << ""   << ""                           << false << false;
        // A click on a selected button does nothing; selecting it again runs the handling.
        QTest::newRow("highlight")           << ""                            << "1"  << "Option2=False Option1=True" << false << true;
        QTest::newRow("differences again")   << ""                            << "2"  << "Option2=True Option1=False" << false << false;
        QTest::newRow("Word method")         << ""                            << "4"  << "Comparison=2"               << true  << false;
        QTest::newRow("standard method")     << ""                            << "43" << "Comparison=1"               << false << false;
        // clang-format on
    }

    void choicesAreRestoredStoredAndApplied()
    {
        QFETCH(QString, stored);
        QFETCH(QString, options);
        QFETCH(bool, wordMethod);
        QFETCH(bool, highlight);
        TestServices test;
        for (const QString &entry : stored.split(u';', Qt::SkipEmptyParts))
            test.settings.preset(entry.section(u'=', 0, 0), entry.section(u'=', 1));
        Form1 form(test.services);
        test.settings.writes.clear();
        QRadioButton *const buttons[] = {form.Option1, form.Option2, form.Option3, form.Option4};
        for (const QChar option : options) {
            test.settings.writes.clear();
            QRadioButton *button = buttons[option.digitValue() - 1];
            button->isChecked() ? form.select(button) : button->click();
        }
        QStringList written;
        for (const FakeSettingsStore::Write &write : test.settings.writes)
            written.append(write.key + '=' + write.value);

        QTEST(written.join(u' '), "written");
        QCOMPARE(form.Option4->isChecked(), wordMethod);
        QCOMPARE(form.PushButton1->isEnabled(), !wordMethod);
        QCOMPARE(shownPanes(form), highlight ? "12" : "34");
        QCOMPARE(test.settings.stored("Comparison"), wordMethod ? "2" : "1");
        QCOMPARE(test.settings.stored("Option1"), highlight ? "True" : "False");
        QCOMPARE(test.settings.stored("Option2"), highlight ? "False" : "True");
    }

    void failedSettingsWriteIsReportedOnce()
    {
        TestServices test;
        test.settings.failWrites = true;
        Form1 form(test.services);
        form.Option1->click();
        form.Option2->click();
        QCOMPARE(test.messages.shown.size(), 1);
        QVERIFY(test.messages.shown.first().text.contains("disk full"));
        QCOMPARE(shownPanes(form), "34"); // the choice still takes effect
    }

    void windowIsBuiltAndPlacedAsDesigned()
    {
        TestServices test;
        Form1 form(test.services);
        const auto px = [&](float twips) {
            return int(std::lround(twips * form.logicalDpiX() / 1440));
        };
        QCOMPARE(form.size(), QSize(px(9000), px(7425)));
        QCOMPARE(form.PushButton6->geometry(), QRect(px(120), px(5760), px(8760), px(420)));
        QVERIFY(form.Frame1->y() >= form.height()); // the method group lies below the client area
        QCOMPARE(form.Option4->parentWidget(), form.Frame1);
        QCOMPARE(form.Frame2->title(), QStringLiteral("Comparision Options"));
        // Tab order: the panes, the method group, the button rows, then the display-mode group.
        QCOMPARE(nextControl(form.RichTextBox4), form.Option3);
        QCOMPARE(nextControl(form.Option4), form.PushButton3);
        QCOMPARE(nextControl(form.PushButton6), form.Option1);
        // Centred on the screen, then raised by 1000 twips.
        const QRect screen = form.screen()->geometry();
        const QRect frame = form.frameGeometry();
        const QPoint expected(screen.left() + (screen.width() - frame.width()) / 2,
                              screen.top() + (screen.height() - frame.height()) / 2 - px(1000));
        QVERIFY((frame.topLeft() - expected).manhattanLength() <= 2);
    }

    void layoutSharesTheWidth_data()
    {
        QTest::addColumn<float>("outerWidth"); // 0: the window's own layout once shown
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("left2");
        // clang-format off
        QTest::newRow("worked example") << 9090.0f << 4315.0f << 4535.0f;
        QTest::newRow("narrow")         << 461.0f  << 0.5f    << 220.5f;
        // A negative width is rejected: that step is skipped, the others go on.
        QTest::newRow("too narrow")     << 100.0f  << 4335.0f << 4555.0f;
        QTest::newRow("shown window")   << 0.0f    << 0.0f    << 0.0f;
        // clang-format on
    }

    // Equal widths, a 100-twip gap, and each result pane exactly over its source pane.
    void layoutSharesTheWidth()
    {
        QFETCH(float, outerWidth);
        QFETCH(float, width);
        QFETCH(float, left2);
        TestServices test;
        Form1 form(test.services);
        if (outerWidth > 0) {
            layoutPanes(outerWidth, *form.RichTextBox1, *form.RichTextBox2, *form.RichTextBox3,
                        *form.RichTextBox4);
        } else {
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            width = (form.frameGeometry().width() * 1440.0f / form.logicalDpiX() - 460) / 2;
            left2 = 120 + width + 100;
        }
        QCOMPARE(twips(form.RichTextBox1), QList<float>({120, 360, width, 4335}));
        QCOMPARE(twips(form.RichTextBox2), QList<float>({left2, 360, width, 4335}));
        QCOMPARE(twips(form.RichTextBox3), twips(form.RichTextBox1));
        QCOMPARE(twips(form.RichTextBox4), twips(form.RichTextBox2));
    }

    // The wait pointer returns on every path; closing the window stops an operation at its
    // next yield.
    void operationsEndOnEveryPath()
    {
        TestServices test;
        Form1 form(test.services);
        form.show();
        try {
            WaitPointer wait(form);
            QCOMPARE(form.RichTextBox2->viewport()->cursor().shape(), Qt::WaitCursor);
            throw std::runtime_error("operation failed");
        } catch (const std::runtime_error &) {
        }
        QCOMPARE(form.mousePointer(), Form1::defaultPointer);
        QCOMPARE(form.RichTextBox2->viewport()->cursor().shape(), Qt::IBeamCursor);
        QVERIFY(form.yieldToEventLoop());
        QTimer::singleShot(0, &form, &QWidget::close);
        QVERIFY(!form.yieldToEventLoop());
        QVERIFY(!form.yieldToEventLoop());
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
