// How the window looks and what pointer it shows: the skin, the hand pointer, readable text under
// any system palette, and the pointer that follows the mouse.

#include "app/MainWindow.h"

#include "TempFiles.h"
#include "TestServices.h"
#include "app/TextColours.h"
#include "app/commands/PaneComparison.h"
#include "pane/TextPane.h"

#include <QtTest>
#include <QtWidgets>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Colours no control has by chance, so that each colour seen has one source only.
const QColor buttonFace(0xc0, 0xff, 0xee);
const QColor textBackground(0xff, 0xff, 0xf0);
const QByteArray shippedHand = readFile(QStringLiteral(PARVENEX_RESOURCES "/HAND-M.CUR"));

void put(const QTemporaryDir &folder, const QString &name, const QByteArray &content)
{
    QVERIFY(QDir(folder.path()).mkpath(QFileInfo(name).path()));
    QVERIFY(writeFile(folder.filePath(name), content));
}

// Exactly the window, captions, options and group boxes fill their backgrounds with `colour`,
// and nothing with the other colour of the two looks: panes and push buttons keep theirs.
void verifyLook(MainWindow &window, const QColor &colour)
{
    const QColor other = colour == buttonFace ? QColor(Qt::white) : buttonFace;
    QList<QWidget *> widgets = window.findChildren<QWidget *>();
    widgets.append(&window);
    QSet<QWidget *> filled;
    for (QWidget *widget : widgets) {
        const QColor fill = widget->palette().color(widget->backgroundRole());
        if (widget->autoFillBackground() && fill == colour)
            filled.insert(widget);
        QVERIFY2(!widget->autoFillBackground() || fill != other, widget->metaObject()->className());
    }
    const QSet<QWidget *> listed{&window,
                                 window.caption1,
                                 window.caption2,
                                 window.methodGroup,
                                 window.displayGroup,
                                 window.highlightOption,
                                 window.differencesOnlyOption,
                                 window.standardMethodOption,
                                 window.wordProcessorMethodOption};
    QCOMPARE(filled, listed);
}

// A dark system palette, as a dark desktop theme gives: light text on dark faces.
QPalette darkPalette()
{
    QPalette palette(QColor(0x3a, 0x3a, 0x3a), QColor(0x2d, 0x2d, 0x2d));
    for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(role, QColor(0xee, 0xee, 0xee));
    palette.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x7f, 0x7f, 0x7f));
    return palette;
}

// Like some desktop styles (Adwaita): draws push buttons on a dark face of its own, whatever the
// palette says, and radio buttons' labels in Text.
class OwnFacesStyle : public QProxyStyle
{
public:
    OwnFacesStyle() : QProxyStyle(QStringLiteral("Fusion")) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element == PE_PanelButtonCommand)
            painter->fillRect(option->rect, QColor(0x38, 0x38, 0x38));
        else
            QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option);
        if (element != CE_RadioButtonLabel || !button)
            return QProxyStyle::drawControl(element, option, painter, widget);
        QStyleOptionButton label(*button);
        label.palette.setColor(QPalette::WindowText, button->palette.color(QPalette::Text));
        QProxyStyle::drawControl(element, &label, painter, widget);
    }
};

bool near(QRgb pixel, const QColor &colour)
{
    return qAbs(qRed(pixel) - colour.red()) + qAbs(qGreen(pixel) - colour.green()) +
               qAbs(qBlue(pixel) - colour.blue()) <=
           12;
}

// The control as drawn, without a radio button's indicator, which is no text.
QImage textArea(QWidget *control)
{
    const QImage image = control->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (!qobject_cast<QRadioButton *>(control))
        return image;
    const int indicator = control->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                          control->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    return image.copy(indicator, 0, image.width() - indicator, image.height());
}

// The colour that fills most of the image, and the pixel that contrasts with it most: the core
// of the text's strokes.
std::pair<QColor, QColor> backgroundAndText(const QImage &image)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    const QRgb background =
        std::max_element(counts.keyValueBegin(), counts.keyValueEnd(), [](auto a, auto b) {
            return a.second < b.second;
        })->first;
    QRgb text = background;
    for (auto it = counts.keyBegin(); it != counts.keyEnd(); ++it)
        if (contrastRatio(QColor(*it), QColor(background)) >
            contrastRatio(QColor(text), QColor(background)))
            text = *it;
    return {QColor(background), QColor(text)};
}

// How many pixels of `colour` the widget draws. The drawing is what the user sees: where the
// window has set a palette on a widget that a sheet colours too, Qt 6.8 keeps the palette's
// colour in palette() while it draws the sheet's, as Qt 6.4 does.
qsizetype drawnPixels(QWidget &widget, const QColor &colour)
{
    const QImage image = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    qsizetype count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        count += std::count(line, line + image.width(), colour.rgb());
    }
    return count;
}

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

// A window on the screen, with fakes for the platform.
struct ShownWindow
{
    TestServices test;
    MainWindow window{test.services};

    ShownWindow() { window.show(); }
};

} // namespace

class TestAppearance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Button, buttonFace);
        palette.setColor(QPalette::Base, textBackground);
        QApplication::setPalette(palette);
    }

    void skinAndHandAreUsedOrReported_data()
    {
        QTest::addColumn<QByteArray>("skin"); // x/o.cjs; null for none
        QTest::addColumn<bool>("hidden"); // the skin and the hand, both listed in ".hidden" files
        QTest::addColumn<QByteArray>("hand"); // HAND-M.CUR; null for none
        QTest::addColumn<QString>("reason");  // of the message about the skin, or else the hand
        const QByteArray usable = "QLabel { color: #123456; font-size: 30pt; }\n"
                                  "QPushButton { min-width: 900px; }\n"
                                  "#compareLinesButton { color: #654321; }";
        // clang-format off
        QTest::newRow("text as hand") << QByteArray() << false << "hand"_ba << u"it is not a Windows cursor file"_s;
        QTest::newRow("hidden skin and hand") << usable << true << shippedHand << QString();
        QTest::newRow("usable skin") << usable << false << QByteArray() << QString();
        QTest::newRow("cut-off skin") << "QLabel { color: red;"_ba << false << QByteArray()
            << u"it is not a style sheet: the rule opened on line 1 is never closed"_s;
        // clang-format on
    }

    void skinAndHandAreUsedOrReported()
    {
        QFETCH(QByteArray, skin);
        QFETCH(bool, hidden);
        QFETCH(QByteArray, hand);
        QFETCH(QString, reason);
        TestServices test;
        if (!skin.isNull())
            put(test.programFolder, u"x/o.cjs"_s, skin);
        if (!hand.isNull())
            put(test.programFolder, u"HAND-M.CUR"_s, hand);
        if (hidden) {
            put(test.programFolder, u"x/.hidden"_s, "o.cjs\n");
            put(test.programFolder, u".hidden"_s, "HAND-M.CUR\n");
        }
        const bool used = !skin.isNull() && !hidden && reason.isEmpty();
        test.settings.preset(u"Comparison"_s, u"2"_s);
        test.skin.setApplyOptions(0x30);
        MainWindow *seen = nullptr;
        test.skin.onLoad = [&](const QString &file, const QString &imageFolder) {
            QCOMPARE(file, test.programFolder.filePath(u"x/o.cjs"_s));
            QCOMPARE(imageFolder, QString());
            // The window is still being built; find it among the top-level widgets.
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                if (auto *window = qobject_cast<MainWindow *>(widget)) {
                    seen = window;
                    verifyLook(*window, buttonFace);
                }
            }
        };
        MainWindow window(test.services);
        QCOMPARE(seen, skin.isNull() || hidden ? nullptr : &window);
        // The rest of start-up ran, up to its last steps: the stored method and display mode.
        QVERIFY(window.wordProcessorMethodOption->isChecked());
        QCOMPARE(test.settings.stored(u"Option2"_s), u"True"_s);
        const QString message = skin.isNull()
                                    ? u"The hand pointer file \"%1\" was ignored because %2.\n\n"
                                      u"Parvenex shows the system's pointing hand instead."_s
                                    : u"The skin file \"%1\" was ignored because %2.\n\n"
                                      u"Parvenex starts with its usual look."_s;
        const QString file =
            test.programFolder.filePath(skin.isNull() ? u"HAND-M.CUR"_s : u"x/o.cjs"_s);
        QCOMPARE(test.messages.texts().join(u'\n'),
                 reason.isEmpty() ? QString()
                                  : message.arg(QDir::toNativeSeparators(file), reason));
        QCOMPARE(window.styleSheet().isEmpty(), !used);
        verifyLook(window, used ? buttonFace : Qt::white);
        window.setMousePointer(PointerCode::Hand);
        const bool loaded = hand == shippedHand;
        QCOMPARE(window.cursor().shape(), loaded ? Qt::BitmapCursor : Qt::PointingHandCursor);
        QCOMPARE(window.cursor().hotSpot(), loaded ? QPoint(5, 0) : QPoint(0, 0));
        if (!used)
            return;
        QCOMPARE(test.skin.applyOptions(), 0x31u);
        QVERIFY(drawnPixels(*window.caption1, QColor(0x12, 0x34, 0x56)) > 0);
        // Controls are addressed by their names.
        QVERIFY(drawnPixels(*window.compareLinesButton, QColor(0x65, 0x43, 0x21)) > 0);
        // The skin cannot widen the buttons over each other.
        window.saveButton1->ensurePolished();
        QVERIFY(window.saveButton1->geometry().right() < window.loadButton2->geometry().left());
    }

    // Under a light and a dark system palette, without and with a skin that leaves colours alone,
    // every control's text reads on its background, and the lines button, disabled with the
    // word-processor method, is drawn in the palette's disabled text colour.
    void textReadsOnEveryControl_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<bool>("skinned");
        QTest::addColumn<bool>("ownFaces");
        QTest::newRow("light") << false << false << false;
        QTest::newRow("dark") << true << false << false;
        QTest::newRow("light, skinned") << false << true << false;
        QTest::newRow("dark, skinned") << true << true << false;
        QTest::newRow("dark, own faces") << true << false << true;
        QTest::newRow("dark, own faces, skinned") << true << true << true;
    }

    void textReadsOnEveryControl()
    {
        QFETCH(bool, dark);
        QFETCH(bool, skinned);
        QFETCH(bool, ownFaces);
        const QPalette before = QApplication::palette();
        const auto restore = qScopeGuard([&] {
            QApplication::setStyle(QStringLiteral("Fusion"));
            QApplication::setPalette(before);
        });
        if (ownFaces)
            QApplication::setStyle(new OwnFacesStyle);
        const QPalette system = dark ? darkPalette() : QApplication::style()->standardPalette();
        QApplication::setPalette(system);
        TestServices test;
        if (skinned)
            put(test.programFolder, u"x/o.cjs"_s, "#methodGroup { border: 1px solid gray; }");
        test.settings.preset(u"Comparison"_s, u"2"_s);
        MainWindow window(test.services);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.styleSheet().isEmpty(), !skinned);

        QList<QWidget *> controls{window.caption1, window.caption2, window.displayGroup,
                                  window.methodGroup};
        for (QAbstractButton *button : window.findChildren<QAbstractButton *>())
            controls.append(button);
        controls.removeOne(window.compareLinesButton);
        for (QWidget *control : controls) {
            const auto [background, text] = backgroundAndText(textArea(control));
            const QByteArray name = control->objectName().toLatin1() + " draws " +
                                    text.name().toLatin1() + " on " + background.name().toLatin1();
            QVERIFY2(contrastRatio(text, background) >= 4.5, name.constData());
        }

        QVERIFY(!window.compareLinesButton->isEnabled());
        const QColor disabled = system.color(QPalette::Disabled, QPalette::ButtonText);
        const QColor enabled = window.compareWordsButton->palette().color(QPalette::ButtonText);
        const QImage lines = textArea(window.compareLinesButton);
        int inDisabled = 0, inEnabled = 0;
        for (int y = 0; y < lines.height(); ++y) {
            for (int x = 0; x < lines.width(); ++x) {
                inDisabled += near(lines.pixel(x, y), disabled);
                inEnabled += near(lines.pixel(x, y), enabled);
            }
        }
        QVERIFY2(
            inDisabled > 50 && inEnabled == 0,
            qPrintable(u"%1 pixels in the disabled colour, %2 in the enabled one"_s.arg(inDisabled)
                           .arg(inEnabled)));
    }

    // The example skin's rules address the window and the panes by their names.
    void exampleSkinReachesWindowAndPanes()
    {
        TestServices test;
        put(test.programFolder, u"x/o.cjs"_s,
            readFile(QStringLiteral(PARVENEX_EXAMPLES "/skin/x/o.cjs")));
        MainWindow window(test.services);
        QVERIFY(test.messages.texts().isEmpty());
        window.ensurePolished();
        QCOMPARE(window.palette().color(QPalette::Window), QColor(0xe4, 0xe9, 0xef));
        for (TextPane *pane :
             {window.textPane1, window.textPane2, window.resultPane1, window.resultPane2}) {
            pane->ensurePolished();
            QCOMPARE(pane->palette().color(QPalette::Text), QColor(0x14, 0x28, 0x3f));
        }
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
        ShownWindow shown;
        MainWindow &window = shown.window;
        QVERIFY(QTest::qWaitForWindowExposed(&window));
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
        ShownWindow shown;
        MainWindow &window = shown.window;
        QVERIFY(QTest::qWaitForWindowExposed(&window));
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
};

QTEST_MAIN(TestAppearance)
#include "tst_appearance.moc"
