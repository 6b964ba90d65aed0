#include "app/Form1.h"
#include "compare/PaneComparison.h"
#include "pane/RichTextPane.h"

#include "TestServices.h"

#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// Moves the mouse, without a pressed button, to the middle of `target` or to `at` in it.
void moveOver(Form1 &form, QWidget *target, QPoint at = QPoint())
{
    at = at.isNull() ? target->rect().center() : at;
    if (form.rect().contains(target->mapTo(&form, at))) {
        QTest::mouseMove(form.windowHandle(), target->mapTo(&form, at));
        return;
    }
    // Frame1 and its options lie below the visible client area, where no real mouse gets.
    QMouseEvent move(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(target, &move);
}

// What the user sees over `widget`.
Qt::CursorShape shapeOver(QWidget *widget)
{
    auto *pane = qobject_cast<RichTextPane *>(widget);
    return (pane ? pane->viewport() : widget)->cursor().shape();
}

// The window's controls by kind, in the order of their numbers, and the window as Form1.
QHash<QString, QList<QWidget *>> controls(Form1 &f)
{
    return {{u"Form"_s, {&f}},
            {u"Label"_s, {f.Label1, f.Label2}},
            {u"Option"_s, {f.Option1, f.Option2, f.Option3, f.Option4}},
            {u"Frame"_s, {f.Frame1, f.Frame2}},
            {u"RichTextBox"_s, {f.RichTextBox1, f.RichTextBox2, f.RichTextBox3, f.RichTextBox4}},
            {u"PushButton"_s,
             {f.PushButton1, f.PushButton2, f.PushButton3, f.PushButton4, f.PushButton5,
              f.PushButton6}}};
}

} // namespace

class TestPointerFeedback : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void movesFollowTheStateTable_data();
    void movesFollowTheStateTable();
    void hourglassSurvivesMovesDuringAComparisonThenTheDefaultWaitsForAMove();

private:
    std::unique_ptr<TestServices> test_;
    std::unique_ptr<Form1> form_;
};

void TestPointerFeedback::init()
{
    form_.reset();
    test_ = std::make_unique<TestServices>();
    form_ = std::make_unique<Form1>(test_->services);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
}

void TestPointerFeedback::movesFollowTheStateTable_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    // The code a move sets from the default pointer or the hand; -1 keeps that code.
    const std::pair<const char *, int> areas[] = {
        {"Form1 Label1 Label2 Option1 Option2 RichTextBox1 RichTextBox2 RichTextBox3 "
         "RichTextBox4",
         0},
        {"PushButton1 PushButton2 PushButton3 PushButton4 PushButton5 PushButton6", 99},
        {"Option3 Option4 Frame1 Frame2", -1}};
    for (const auto &[names, code] : areas) {
        for (const QString &control : QString::fromLatin1(names).split(u' ')) {
            for (const int from : {0, 11, 99}) {
                const int to = from == 11 ? 11 : code < 0 ? from : code;
                QTest::addRow("%s from %d", qPrintable(control), from) << control << from << to;
            }
        }
    }
}

void TestPointerFeedback::movesFollowTheStateTable()
{
    QFETCH(QString, control);
    QFETCH(int, from);
    QFETCH(int, to);
    Form1 &form = *form_;
    const qsizetype digit = control.size() - 1;
    QWidget *target =
        controls(form).value(control.left(digit)).value(control.mid(digit).toInt() - 1);
    // The source panes show in the highlighting display mode only.
    if (target == form.RichTextBox1 || target == form.RichTextBox2)
        form.select(form.Option1);
    QVERIFY(target && target->isVisible());
    // Qt drops a move to where the mouse already is, as in the previous row.
    QTest::mouseMove(form.windowHandle(), QPoint(1, 1));
    form.setMousePointer(from);
    // Over Frame2 a point between its options; over the window one outside every control.
    moveOver(form, target,
             target == form.Frame2 ? QPoint(400, 8)
             : target == &form     ? QPoint(3, 3)
                                   : QPoint());
    QCOMPARE(form.mousePointer(), to);
    const bool pane = qobject_cast<RichTextPane *>(target);
    QCOMPARE(shapeOver(target), to == 11   ? Qt::WaitCursor
                                : to == 99 ? Qt::PointingHandCursor
                                : pane     ? Qt::IBeamCursor
                                           : Qt::ArrowCursor);
    // The hourglass shows over the whole window, panes and buttons included.
    if (to == 11) {
        for (const QList<QWidget *> &places : controls(form)) {
            for (QWidget *place : places)
                QCOMPARE(shapeOver(place), Qt::WaitCursor);
        }
    }
}

void TestPointerFeedback::hourglassSurvivesMovesDuringAComparisonThenTheDefaultWaitsForAMove()
{
    Form1 &form = *form_;
    QStringList lines;
    for (int i = 0; i < 10000; ++i)
        lines.append(QString::number(i));
    form.RichTextBox1->setText(lines.join(u"\r\n"_s));
    form.RichTextBox2->setText(lines.mid(0, 5000).join(u"\r\n"_s));
    // Each yield of the comparison handles a move over a push button that came in meanwhile,
    // to a new point each time, as Qt drops a move to where the mouse already is.
    int yields = 0;
    int yieldsUnderWait = 0;
    bool handSeen = false;
    const auto yield = [&] {
        const bool waiting = form.mousePointer() == Form1::waitPointer;
        const QPoint at(5 + ++yields % 2, 5);
        QTimer::singleShot(0, &form, [&form, at] { moveOver(form, form.PushButton1, at); });
        const bool open = form.yieldToEventLoop();
        if (waiting) {
            ++yieldsUnderWait;
            handSeen = handSeen || form.mousePointer() != Form1::waitPointer ||
                       shapeOver(form.PushButton1) != Qt::WaitCursor;
        }
        return open;
    };
    PaneComparison(form, yield, std::chrono::milliseconds(0)).runLineComparison();
    QVERIFY(yieldsUnderWait > 0);
    QVERIFY(!handSeen);
    QVERIFY(form.RichTextBox3->text().startsWith(QLatin1String("5000\r\n")));
    // The mouse still rests on the button, but until it moves again the default pointer shows.
    QCoreApplication::processEvents();
    QCOMPARE(form.mousePointer(), 0);
    QCOMPARE(shapeOver(form.PushButton1), Qt::ArrowCursor);
    moveOver(form, form.PushButton1, QPoint(8, 5));
    QCOMPARE(form.mousePointer(), 99);
    QCOMPARE(shapeOver(form.PushButton1), Qt::PointingHandCursor);
}

QTEST_MAIN(TestPointerFeedback)
#include "tst_pointerfeedback.moc"
