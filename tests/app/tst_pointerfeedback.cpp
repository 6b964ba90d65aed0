#include "app/MainWindow.h"
#include "app/commands/PaneComparison.h"
#include "pane/TextPane.h"

#include "TestServices.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {

// Moves the mouse, without a pressed button, to the middle of `target` or to `at` in it.
void moveOver(MainWindow &window, QWidget *target, QPoint at = QPoint())
{
    at = at.isNull() ? target->rect().center() : at;
    if (window.rect().contains(target->mapTo(&window, at))) {
        QTest::mouseMove(window.windowHandle(), target->mapTo(&window, at));
        return;
    }
    // methodGroup and its options lie below the visible client area, where no real mouse gets.
    QMouseEvent move(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(target, &move);
}

// What the user sees over `widget`.
Qt::CursorShape shapeOver(QWidget *widget)
{
    auto *pane = qobject_cast<TextPane *>(widget);
    return (pane ? pane->viewport() : widget)->cursor().shape();
}

} // namespace

class TestPointerFeedback : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        window_.reset();
        test_ = std::make_unique<TestServices>();
        window_ = std::make_unique<MainWindow>(test_->services);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void movesFollowTheStateTable_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("showsHand"); // else the default pointer; neither: keeps the pointer
        QTest::addColumn<bool>("keeps");
        for (const char *name :
             {"mainWindow", "caption1", "caption2", "highlightOption", "differencesOnlyOption",
              "textPane1", "textPane2", "resultPane1", "resultPane2"})
            QTest::newRow(name) << QString::fromLatin1(name) << false << false;
        for (const char *name : {"compareLinesButton", "saveButton1", "loadButton1", "loadButton2",
                                 "saveButton2", "compareWordsButton"})
            QTest::newRow(name) << QString::fromLatin1(name) << true << false;
        for (const char *name :
             {"standardMethodOption", "wordProcessorMethodOption", "methodGroup", "displayGroup"})
            QTest::newRow(name) << QString::fromLatin1(name) << false << true;
    }

    // From each state the mouse moves over the control: the wait pointer always stays, the others
    // follow the control.
    void movesFollowTheStateTable()
    {
        QFETCH(QString, control);
        QFETCH(bool, showsHand);
        QFETCH(bool, keeps);
        MainWindow &window = *window_;
        QWidget *target =
            control == window.objectName() ? &window : window.findChild<QWidget *>(control);
        QVERIFY(target);
        // The source panes show in the highlighting display mode only.
        if (target == window.textPane1 || target == window.textPane2)
            window.select(window.highlightOption);
        QVERIFY(target->isVisible());
        for (const PointerCode from :
             {PointerCode::Default, PointerCode::Hand, PointerCode::Wait}) {
            // Qt drops a move to where the mouse already is.
            QTest::mouseMove(window.windowHandle(), QPoint(1, 1));
            window.setMousePointer(from);
            // Over displayGroup a point between its options; over the window one outside every
            // control.
            moveOver(window, target,
                     target == window.displayGroup ? QPoint(400, 8)
                     : target == &window           ? QPoint(3, 3)
                                                   : QPoint());
            const PointerCode to = from == PointerCode::Wait ? from
                                   : keeps                   ? from
                                   : showsHand               ? PointerCode::Hand
                                                             : PointerCode::Default;
            QCOMPARE(window.mousePointer(), to);
            QCOMPARE(shapeOver(target), to == PointerCode::Wait            ? Qt::WaitCursor
                                        : to == PointerCode::Hand          ? Qt::PointingHandCursor
                                        : qobject_cast<TextPane *>(target) ? Qt::IBeamCursor
                                                                           : Qt::ArrowCursor);
        }
    }

    void hourglassSurvivesMovesDuringAComparisonThenTheDefaultWaitsForAMove()
    {
        MainWindow &window = *window_;
        QStringList lines;
        for (int i = 0; i < 10000; ++i)
            lines.append(QString::number(i));
        window.textPane1->setText(lines.join(u"\r\n"_s));
        window.textPane2->setText(lines.mid(0, 5000).join(u"\r\n"_s));
        // Each yield of the comparison handles a move over a push button that came in meanwhile,
        // to a new point each time, as Qt drops a move to where the mouse already is. Recorded: the
        // pointer after each yield that began under the hourglass.
        using Seen = QList<std::pair<PointerCode, Qt::CursorShape>>;
        Seen underWait;
        int yields = 0;
        const auto yield = [&] {
            const bool waiting = window.mousePointer() == PointerCode::Wait;
            QTimer::singleShot(0, &window, [&window, at = QPoint(5 + ++yields % 2, 5)] {
                moveOver(window, window.compareLinesButton, at);
            });
            const bool open = window.yieldToEventLoop();
            if (waiting)
                underWait.append({window.mousePointer(), shapeOver(window.compareLinesButton)});
            return open;
        };
        const ComparisonPanes panes{*window.textPane1, *window.textPane2, *window.resultPane1,
                                    *window.resultPane2};
        PaneComparison(panes, window, {yield, yield, std::chrono::milliseconds(0)}).compareLines();
        QVERIFY(!underWait.isEmpty());
        QCOMPARE(underWait, Seen(underWait.size(), {PointerCode::Wait, Qt::WaitCursor}));
        QVERIFY(window.resultPane1->text().startsWith(QLatin1String("5000\r\n")));
        // The mouse still rests on the button, but until it moves again the default pointer shows.
        QCoreApplication::processEvents();
        QCOMPARE(window.mousePointer(), PointerCode::Default);
        QCOMPARE(shapeOver(window.compareLinesButton), Qt::ArrowCursor);
        moveOver(window, window.compareLinesButton, QPoint(8, 5));
        QCOMPARE(window.mousePointer(), PointerCode::Hand);
        QCOMPARE(shapeOver(window.compareLinesButton), Qt::PointingHandCursor);
    }

private:
    std::unique_ptr<TestServices> test_;
    std::unique_ptr<MainWindow> window_;
};

QTEST_MAIN(TestPointerFeedback)
#include "tst_pointerfeedback.moc"
