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

// The window and its controls, and the code a move over each sets from the default pointer or
// the hand; -1 keeps that code.
QList<QWidget *> controls(Form1 &f)
{
    // clang-format off
    return {&f, f.Label1, f.Label2, f.Option1, f.Option2,
            f.RichTextBox1, f.RichTextBox2, f.RichTextBox3, f.RichTextBox4,
            f.PushButton1, f.PushButton2, f.PushButton3, f.PushButton4, f.PushButton5, f.PushButton6,
            f.Option3, f.Option4, f.Frame1, f.Frame2};
    // clang-format on
}
const QString names = QStringLiteral(
    "Form1 Label1 Label2 Option1 Option2 RichTextBox1 RichTextBox2 RichTextBox3 RichTextBox4 "
    "PushButton1 PushButton2 PushButton3 PushButton4 PushButton5 PushButton6 Option3 Option4 "
    "Frame1 Frame2");
const int codes[] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 99, 99, 99, 99, 99, 99, -1, -1, -1, -1};

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
    QTest::addColumn<int>("control");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    for (int control = 0; control < int(std::size(codes)); ++control) {
        for (const int from : {0, 11, 99}) {
            const int to = from == 11 ? 11 : codes[control] < 0 ? from : codes[control];
            QTest::addRow("%s from %d", qPrintable(names.section(u' ', control, control)), from)
                << control << from << to;
        }
    }
}

void TestPointerFeedback::movesFollowTheStateTable()
{
    QFETCH(int, control);
    QFETCH(int, from);
    QFETCH(int, to);
    Form1 &form = *form_;
    QWidget *target = controls(form)[control];
    // The source panes show in the highlighting display mode only.
    if (target == form.RichTextBox1 || target == form.RichTextBox2)
        form.select(form.Option1);
    QVERIFY(target->isVisible());
    // Qt drops a move to where the mouse already is, as in the previous row.
    QTest::mouseMove(form.windowHandle(), QPoint(1, 1));
    form.setMousePointer(from);
    // Over Frame2 a point between its options; over the window one outside every control.
    moveOver(form, target,
             target == form.Frame2 ? QPoint(400, 8)
             : target == &form     ? QPoint(3, 3)
                                   : QPoint());
    QCOMPARE(form.mousePointer(), to);
    QCOMPARE(shapeOver(target), to == 11                               ? Qt::WaitCursor
                                : to == 99                             ? Qt::PointingHandCursor
                                : qobject_cast<RichTextPane *>(target) ? Qt::IBeamCursor
                                                                       : Qt::ArrowCursor);
    // The hourglass shows over the whole window, panes and buttons included.
    for (QWidget *place : controls(form))
        QVERIFY(to != 11 || shapeOver(place) == Qt::WaitCursor);
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
    // to a new point each time, as Qt drops a move to where the mouse already is. Recorded: the
    // pointer after each yield that began under the hourglass.
    using Seen = QList<std::pair<int, Qt::CursorShape>>;
    Seen underWait;
    int yields = 0;
    const auto yield = [&] {
        const bool waiting = form.mousePointer() == Form1::waitPointer;
        QTimer::singleShot(0, &form, [&form, at = QPoint(5 + ++yields % 2, 5)] {
            moveOver(form, form.PushButton1, at);
        });
        const bool open = form.yieldToEventLoop();
        if (waiting)
            underWait.append({form.mousePointer(), shapeOver(form.PushButton1)});
        return open;
    };
    PaneComparison(form, yield, std::chrono::milliseconds(0)).runLineComparison();
    QVERIFY(!underWait.isEmpty());
    QCOMPARE(underWait, Seen(underWait.size(), {Form1::waitPointer, Qt::WaitCursor}));
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
