// How the window looks and what pointer it shows: the skin, the hand pointer, readable text under
// any system palette, and the pointer that follows the mouse.

#include "app/MainWindow.h"

#include "TempFiles.h"
#include "TestServices.h"
#include "app/TextColours.h"
#include "pane/TextPane.h"

#include <QtTest>
#include <QtWidgets>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QByteArray shippedHand = readFile(QStringLiteral(PARVENEX_RESOURCES "/HAND-M.CUR"));

void put(const QTemporaryDir &folder, const QString &name, const QByteArray &content)
{
    QVERIFY(QDir(folder.path()).mkpath(QFileInfo(name).path()));
    QVERIFY(writeFile(folder.filePath(name), content));
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

// The control as drawn, without a radio button's indicator, which is no text. The drawing is
// what the user sees: where the window has set a palette on a widget that a sheet colours too,
// Qt 6.8 keeps the palette's colour in palette() while it draws the sheet's, as Qt 6.4 does.
QImage drawn(QWidget *control)
{
    const QImage image = control->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (!qobject_cast<QRadioButton *>(control))
        return image;
    const int indicator = control->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                          control->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    return image.copy(indicator, 0, image.width() - indicator, image.height());
}

// How many pixels differ from `colour` by at most `tolerance`, summed over the channels.
int pixelsNear(const QImage &image, const QColor &colour, int tolerance = 0)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            count += qAbs(qRed(pixel) - colour.red()) + qAbs(qGreen(pixel) - colour.green()) +
                         qAbs(qBlue(pixel) - colour.blue()) <=
                     tolerance;
        }
    }
    return count;
}

// The colour that fills most of the image, and the pixel that contrasts with it most: the core
// of the text's strokes.
std::pair<QColor, QColor> backgroundAndText(const QImage &image)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    const QColor background(
        std::max_element(counts.keyValueBegin(), counts.keyValueEnd(), [](auto a, auto b) {
            return a.second < b.second;
        })->first);
    QColor text = background;
    for (auto it = counts.keyBegin(); it != counts.keyEnd(); ++it)
        if (contrastRatio(QColor(*it), background) > contrastRatio(text, background))
            text = QColor(*it);
    return {background, text};
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

} // namespace

class TestAppearance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void skinAndHandAreUsedOrReported_data()
    {
        QTest::addColumn<QByteArray>("skin"); // x/o.cjs; null for none
        QTest::addColumn<bool>("hidden"); // the skin and the hand, both listed in ".hidden" files
        QTest::addColumn<QByteArray>("hand"); // HAND-M.CUR; null for none
        QTest::addColumn<QString>("message"); // %1 for the program's folder
        const QByteArray usable = readFile(QStringLiteral(PARVENEX_EXAMPLES "/skin/x/o.cjs")) +
                                  "QPushButton { min-width: 900px; }";
        // clang-format off
        QTest::newRow("text as hand") << QByteArray() << false << "hand"_ba
            << u"The hand pointer file \"%1/HAND-M.CUR\" was ignored because it is not a Windows cursor file.\n\nParvenex shows the system's pointing hand instead."_s;
        QTest::newRow("hidden skin and hand") << usable << true << shippedHand << QString();
        QTest::newRow("example skin") << usable << false << QByteArray() << QString();
        QTest::newRow("cut-off skin") << "QLabel { color: red;"_ba << false << QByteArray()
            << u"The skin file \"%1/x/o.cjs\" was ignored because it is not a style sheet: the rule opened on line 1 is never closed.\n\nParvenex starts with its usual look."_s;
        // clang-format on
    }

    void skinAndHandAreUsedOrReported()
    {
        QFETCH(QByteArray, skin);
        QFETCH(bool, hidden);
        QFETCH(QByteArray, hand);
        QFETCH(QString, message);
        TestServices test;
        if (!skin.isNull())
            put(test.programFolder, u"x/o.cjs"_s, skin);
        if (!hand.isNull())
            put(test.programFolder, u"HAND-M.CUR"_s, hand);
        if (hidden) {
            put(test.programFolder, u"x/.hidden"_s, "o.cjs\n");
            put(test.programFolder, u".hidden"_s, "HAND-M.CUR\n");
        }
        const bool used = !skin.isNull() && !hidden && message.isEmpty();
        test.settings.preset(u"Comparison"_s, u"2"_s);
        test.skin.setApplyOptions(0x30);
        bool skinLoaded = false;
        test.skin.onLoad = [&](const QString &file, const QString &imageFolder) {
            QCOMPARE(file, test.programFolder.filePath(u"x/o.cjs"_s));
            QCOMPARE(imageFolder, QString());
            skinLoaded = true;
        };
        MainWindow window(test.services);
        QCOMPARE(skinLoaded, !skin.isNull() && !hidden);
        // The rest of start-up ran, up to its last steps: the stored method and display mode.
        QVERIFY(window.wordProcessorMethodOption->isChecked());
        QCOMPARE(test.settings.stored(u"Option2"_s), u"True"_s);
        // The messages hold no other slash.
        QCOMPARE(test.messages.texts().join(u'\n'),
                 QDir::toNativeSeparators(message.replace(u"%1"_s, test.programFolder.path())));
        QCOMPARE(window.styleSheet().isEmpty(), !used);
        window.setMousePointer(PointerCode::Hand);
        const bool loaded = hand == shippedHand;
        QCOMPARE(window.cursor().shape(), loaded ? Qt::BitmapCursor : Qt::PointingHandCursor);
        QCOMPARE(window.cursor().hotSpot(), loaded ? QPoint(5, 0) : QPoint(0, 0));
        if (!used)
            return;
        QCOMPARE(test.skin.applyOptions(), 0x31u);
        // The example's rules address the window and the panes by their names.
        window.ensurePolished();
        QCOMPARE(window.palette().color(QPalette::Window), QColor(0xe4, 0xe9, 0xef));
        for (TextPane *pane :
             {window.textPane1, window.textPane2, window.resultPane1, window.resultPane2})
            QCOMPARE(pane->palette().color(QPalette::Text), QColor(0x14, 0x28, 0x3f));
        QVERIFY(pixelsNear(drawn(window.caption1), QColor(0x1f, 0x3a, 0x5a)) > 0);
        // The skin cannot widen the buttons over each other.
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
        // A dark palette, as a dark desktop theme gives, derives light text on dark faces.
        const QPalette system = dark ? QPalette(QColor(0x3a, 0x3a, 0x3a), QColor(0x2d, 0x2d, 0x2d))
                                     : QApplication::style()->standardPalette();
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
            const auto [background, text] = backgroundAndText(drawn(control));
            const QString seen =
                control->objectName() + u" draws "_s + text.name() + u" on "_s + background.name();
            QVERIFY2(contrastRatio(text, background) >= 4.5, qPrintable(seen));
        }

        const QImage lines = drawn(window.compareLinesButton);
        const QColor enabled = window.compareWordsButton->palette().color(QPalette::ButtonText);
        const int inDisabled =
            pixelsNear(lines, system.color(QPalette::Disabled, QPalette::ButtonText), 12);
        const int inEnabled = pixelsNear(lines, enabled, 12);
        QVERIFY(inDisabled > 50);
        QCOMPARE(inEnabled, 0);
    }

    void movesFollowTheStateTable_data()
    {
        QTest::addColumn<QString>("control");
        // The pointer after a move from the default, the hand and the wait pointer: D, H or W.
        QTest::addColumn<QString>("after");
        const auto rows = [](const QString &after, std::initializer_list<const char *> names) {
            for (const char *name : names)
                QTest::newRow(name) << QString::fromLatin1(name) << after;
        };
        rows(u"DDW"_s,
             {"mainWindow", "caption1", "caption2", "highlightOption", "differencesOnlyOption",
              "textPane1", "textPane2", "resultPane1", "resultPane2"});
        rows(u"HHW"_s, {"compareLinesButton", "saveButton1", "loadButton1", "loadButton2",
                        "saveButton2", "compareWordsButton"});
        rows(u"DHW"_s,
             {"standardMethodOption", "wordProcessorMethodOption", "methodGroup", "displayGroup"});
    }

    void movesFollowTheStateTable()
    {
        QFETCH(QString, control);
        QFETCH(QString, after);
        TestServices test;
        MainWindow window(test.services);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWidget *target =
            control == window.objectName() ? &window : window.findChild<QWidget *>(control);
        // The source panes show in the highlighting display mode only.
        if (target == window.textPane1 || target == window.textPane2)
            window.select(window.highlightOption);
        QVERIFY(target && target->isVisible());
        const QHash<QChar, PointerCode> codes{
            {u'D', PointerCode::Default}, {u'H', PointerCode::Hand}, {u'W', PointerCode::Wait}};
        for (int i = 0; i < 3; ++i) {
            // Qt drops a move to where the mouse already is.
            QTest::mouseMove(window.windowHandle(), QPoint(1, 1));
            window.setMousePointer(codes[u"DHW"[i]]);
            // Over displayGroup a point between its options; over the window one outside every
            // control.
            moveOver(window, target,
                     target == window.displayGroup ? QPoint(400, 8)
                     : target == &window           ? QPoint(3, 3)
                                                   : QPoint());
            QCOMPARE(window.mousePointer(), codes[after[i]]);
            QCOMPARE(shapeOver(target), after[i] == u'W'                   ? Qt::WaitCursor
                                        : after[i] == u'H'                 ? Qt::PointingHandCursor
                                        : qobject_cast<TextPane *>(target) ? Qt::IBeamCursor
                                                                           : Qt::ArrowCursor);
        }
    }
};

QTEST_MAIN(TestAppearance)
#include "tst_appearance.moc"
