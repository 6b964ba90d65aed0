#include "app/Form1.h"
#include "app/PointerStates.h"
#include "app/WaitPointer.h"
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

namespace {

// Moves the mouse, without a pressed button, to the middle of `target` or to `at` in it, the
// way the windowing system reports it to the window.
void moveOver(Form1 &form, QWidget *target, QPoint at = QPoint())
{
    const QPoint inTarget = at.isNull() ? target->rect().center() : at;
    QTest::mouseMove(form.windowHandle(), target->mapTo(&form, inTarget));
}

// What the user sees over `widget`: the pointer shape the widget shows.
Qt::CursorShape shapeOver(QWidget *widget)
{
    if (auto *pane = qobject_cast<RichTextPane *>(widget))
        return pane->viewport()->cursor().shape();
    return widget->cursor().shape();
}

// A control of the window by its name; the window itself for "".
QWidget *control(Form1 &form, const QString &name)
{
    const QHash<QString, QWidget *> controls{
        {QString(), &form},
        {QStringLiteral("Label1"), form.Label1},
        {QStringLiteral("Label2"), form.Label2},
        {QStringLiteral("Option1"), form.Option1},
        {QStringLiteral("Option2"), form.Option2},
        {QStringLiteral("Option3"), form.Option3},
        {QStringLiteral("Option4"), form.Option4},
        {QStringLiteral("Frame1"), form.Frame1},
        {QStringLiteral("Frame2"), form.Frame2},
        {QStringLiteral("RichTextBox1"), form.RichTextBox1},
        {QStringLiteral("RichTextBox2"), form.RichTextBox2},
        {QStringLiteral("RichTextBox3"), form.RichTextBox3},
        {QStringLiteral("RichTextBox4"), form.RichTextBox4},
        {QStringLiteral("PushButton1"), form.PushButton1},
        {QStringLiteral("PushButton2"), form.PushButton2},
        {QStringLiteral("PushButton3"), form.PushButton3},
        {QStringLiteral("PushButton4"), form.PushButton4},
        {QStringLiteral("PushButton5"), form.PushButton5},
        {QStringLiteral("PushButton6"), form.PushButton6},
    };
    return controls.value(name);
}

} // namespace

class TestPointerFeedback : public QObject
{
    Q_OBJECT

private slots:
    void stateTable_data();
    void stateTable();
    void init();
    void cleanup();
    void movesSetThePointerOfTheirArea_data();
    void movesSetThePointerOfTheirArea();
    void methodOptionsAndGroupBoxesKeepTheHand_data();
    void methodOptionsAndGroupBoxesKeepTheHand();
    void hourglassShowsEverywhereAndSurvivesEveryMove();
    void hourglassSurvivesMouseMovementDuringAYield();
    void hourglassSurvivesMouseMovementDuringALineComparison();
    void afterAnOperationThePointerIsDefaultUntilTheMouseMoves();

private:
    std::unique_ptr<TestServices> test_;
    std::unique_ptr<Form1> form_;
};

void TestPointerFeedback::stateTable_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<MouseArea>("area");
    QTest::addColumn<int>("to");
    const struct
    {
        const char *name;
        MouseArea area;
        int fromDefault;
        int fromHand;
    } areas[] = {
        {"window surface", MouseArea::WindowSurface, 0, 0},
        {"caption", MouseArea::Caption, 0, 0},
        {"display option", MouseArea::DisplayOption, 0, 0},
        {"pane", MouseArea::Pane, 0, 0},
        {"push button", MouseArea::PushButton, 99, 99},
        {"method option", MouseArea::MethodOption, 0, 99},
        {"group box", MouseArea::GroupBox, 0, 99},
    };
    for (const auto &row : areas) {
        QTest::addRow("default, %s", row.name) << 0 << row.area << row.fromDefault;
        QTest::addRow("hand, %s", row.name) << 99 << row.area << row.fromHand;
        QTest::addRow("wait, %s", row.name) << 11 << row.area << 11;
    }
}

void TestPointerFeedback::stateTable()
{
    QFETCH(int, from);
    QFETCH(MouseArea, area);
    QFETCH(int, to);
    QCOMPARE(pointerAfterMouseMove(from, area), to);
}

void TestPointerFeedback::init()
{
    test_ = std::make_unique<TestServices>();
    form_ = std::make_unique<Form1>(test_->services);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
}

void TestPointerFeedback::cleanup()
{
    form_.reset();
    test_.reset();
}

void TestPointerFeedback::movesSetThePointerOfTheirArea_data()
{
    QTest::addColumn<QString>("control"); // "" for the window
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<bool>("sourcePanes"); // highlight mode, so that RichTextBox1 and 2 show
    QTest::addColumn<int>("pointer");
    QTest::addColumn<Qt::CursorShape>("shape");
    QTest::newRow("window surface") << "" << QPoint(3, 3) << false << 0 << Qt::ArrowCursor;
    QTest::newRow("Label1") << "Label1" << QPoint() << false << 0 << Qt::ArrowCursor;
    QTest::newRow("Label2") << "Label2" << QPoint() << false << 0 << Qt::ArrowCursor;
    QTest::newRow("Option1") << "Option1" << QPoint() << false << 0 << Qt::ArrowCursor;
    QTest::newRow("Option2") << "Option2" << QPoint() << false << 0 << Qt::ArrowCursor;
    QTest::newRow("RichTextBox1") << "RichTextBox1" << QPoint() << true << 0 << Qt::IBeamCursor;
    QTest::newRow("RichTextBox2") << "RichTextBox2" << QPoint() << true << 0 << Qt::IBeamCursor;
    QTest::newRow("RichTextBox3") << "RichTextBox3" << QPoint() << false << 0 << Qt::IBeamCursor;
    QTest::newRow("RichTextBox4") << "RichTextBox4" << QPoint() << false << 0 << Qt::IBeamCursor;
    for (const char *button :
         {"PushButton1", "PushButton2", "PushButton3", "PushButton4", "PushButton5", "PushButton6"})
        QTest::newRow(button) << button << QPoint() << false << 99 << Qt::PointingHandCursor;
}

void TestPointerFeedback::movesSetThePointerOfTheirArea()
{
    QFETCH(QString, control);
    QFETCH(QPoint, at);
    QFETCH(bool, sourcePanes);
    QFETCH(int, pointer);
    QFETCH(Qt::CursorShape, shape);
    Form1 &form = *form_;
    if (sourcePanes)
        form.select(form.Option1);
    QWidget *target = ::control(form, control);
    QVERIFY(target);
    QVERIFY(target->isVisible());

    // Start from the other state, so that every move has something to change.
    form.setMousePointer(pointer == 99 ? 0 : 99);
    moveOver(form, target, at);
    QCOMPARE(form.mousePointer(), pointer);
    QCOMPARE(shapeOver(target), shape);
    // The same move again sets the same code.
    moveOver(form, target, at + QPoint(1, 0));
    QCOMPARE(form.mousePointer(), pointer);
}

void TestPointerFeedback::methodOptionsAndGroupBoxesKeepTheHand_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QPoint>("at");
    QTest::newRow("Frame2, between its options") << "Frame2" << QPoint(400, 8);
    QTest::newRow("Frame1") << "Frame1" << QPoint(400, 100);
    QTest::newRow("Option3") << "Option3" << QPoint(5, 5);
    QTest::newRow("Option4") << "Option4" << QPoint(5, 5);
}

void TestPointerFeedback::methodOptionsAndGroupBoxesKeepTheHand()
{
    QFETCH(QString, control);
    QFETCH(QPoint, at);
    Form1 &form = *form_;
    QWidget *target = ::control(form, control);
    QVERIFY(target);
    QCOMPARE(target->childAt(at), nullptr);

    moveOver(form, form.PushButton6);
    QCOMPARE(form.mousePointer(), 99);
    // Frame1 and its options lie below the visible client area, where no real mouse gets;
    // hand them the move directly.
    QMouseEvent move(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    if (form.rect().contains(target->mapTo(&form, at)))
        moveOver(form, target, at);
    else
        QApplication::sendEvent(target, &move);
    QCOMPARE(form.mousePointer(), 99);
    QCOMPARE(form.cursor().shape(), Qt::PointingHandCursor);
    moveOver(form, form.Option1);
    QCOMPARE(form.mousePointer(), 0);
}

void TestPointerFeedback::hourglassShowsEverywhereAndSurvivesEveryMove()
{
    Form1 &form = *form_;
    form.select(form.Option1);
    const QList<QWidget *> places{&form,
                                  form.Label1,
                                  form.Label2,
                                  form.RichTextBox1,
                                  form.RichTextBox2,
                                  form.PushButton1,
                                  form.PushButton2,
                                  form.PushButton3,
                                  form.PushButton4,
                                  form.PushButton5,
                                  form.PushButton6,
                                  form.Frame2,
                                  form.Option1,
                                  form.Option2};
    WaitPointer wait(form);
    for (QWidget *place : places) {
        moveOver(form, place, place == &form ? QPoint(3, 3) : QPoint());
        QCOMPARE(form.mousePointer(), 11);
        for (QWidget *shown : places)
            QCOMPARE(shapeOver(shown), Qt::WaitCursor);
        for (QWidget *hidden : {form.RichTextBox3, form.RichTextBox4})
            QCOMPARE(shapeOver(hidden), Qt::WaitCursor);
    }
}

void TestPointerFeedback::hourglassSurvivesMouseMovementDuringAYield()
{
    Form1 &form = *form_;
    moveOver(form, form.PushButton1);
    QCOMPARE(form.mousePointer(), 99);
    int movesDuringYield = 0;
    {
        WaitPointer wait(form);
        // Moves that arrive while the comparison runs are handled in its next yield.
        for (QWidget *place :
             {static_cast<QWidget *>(form.PushButton6), static_cast<QWidget *>(form.RichTextBox3),
              static_cast<QWidget *>(form.Label1)}) {
            QTimer::singleShot(0, &form, [&form, place, &movesDuringYield] {
                moveOver(form, place);
                ++movesDuringYield;
            });
        }
        QVERIFY(form.yieldToEventLoop());
        QCOMPARE(movesDuringYield, 3);
        QCOMPARE(form.mousePointer(), 11);
        QCOMPARE(shapeOver(form.PushButton6), Qt::WaitCursor);
        QCOMPARE(shapeOver(form.RichTextBox3), Qt::WaitCursor);
    }
    QCOMPARE(form.mousePointer(), 0);
}

void TestPointerFeedback::hourglassSurvivesMouseMovementDuringALineComparison()
{
    Form1 &form = *form_;
    QStringList lines;
    for (int i = 0; i < 10000; ++i)
        lines.append(QString::number(i));
    form.RichTextBox1->setText(lines.join(QStringLiteral("\r\n")));
    form.RichTextBox2->setText(lines.mid(0, 5000).join(QStringLiteral("\r\n")));

    // Each yield of the comparison handles a move over a push button that came in meanwhile.
    int yieldsUnderWait = 0;
    bool handSeen = false;
    const auto yield = [&] {
        const bool waiting = form.mousePointer() == Form1::waitPointer;
        QTimer::singleShot(0, &form, [&form] { moveOver(form, form.PushButton1); });
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
    // The last move was over a push button, yet the comparison's end brings the default back.
    QCOMPARE(form.mousePointer(), 0);
    QVERIFY(form.RichTextBox3->text().startsWith(QLatin1String("5000\r\n")));
}

void TestPointerFeedback::afterAnOperationThePointerIsDefaultUntilTheMouseMoves()
{
    Form1 &form = *form_;
    moveOver(form, form.PushButton3);
    QCOMPARE(form.mousePointer(), 99);
    {
        WaitPointer wait(form);
        QVERIFY(form.yieldToEventLoop());
    }
    // The mouse still rests on the button, but nothing moved.
    QCoreApplication::processEvents();
    QCOMPARE(form.mousePointer(), 0);
    QCOMPARE(shapeOver(form.PushButton3), Qt::ArrowCursor);
    moveOver(form, form.PushButton3, QPoint(5, 5));
    QCOMPARE(form.mousePointer(), 99);
    QCOMPARE(shapeOver(form.PushButton3), Qt::PointingHandCursor);
}

QTEST_MAIN(TestPointerFeedback)
#include "tst_pointerfeedback.moc"
