#include "app/Form1.h"
#include "pane/RichTextPane.h"
#include "platform/StyleSheetSkinFramework.h"

#include "TestServices.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

const QColor buttonFace(0xc0, 0xff, 0xee);
const QColor textBackground(0xff, 0xff, 0xf0);

void writeFile(const QString &path, const QByteArray &content)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray shippedHand()
{
    QFile file(QStringLiteral(PARVENEX_RESOURCES "/HAND-M.CUR"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The colour a widget fills its background with, or an invalid colour when it fills none.
QColor fill(const QWidget *widget)
{
    return widget->autoFillBackground() ? widget->palette().color(widget->backgroundRole())
                                        : QColor();
}

// Every widget of the window that fills its background with `colour`.
QSet<const QWidget *> filledWith(const Form1 &form, const QColor &colour)
{
    QSet<const QWidget *> found;
    if (fill(&form) == colour)
        found.insert(&form);
    for (const QWidget *widget : form.findChildren<QWidget *>()) {
        if (fill(widget) == colour)
            found.insert(widget);
    }
    return found;
}

QSet<const QWidget *> recoloured(const Form1 &form)
{
    return {&form,        form.Label1,  form.Label2,  form.Frame1, form.Frame2,
            form.Option1, form.Option2, form.Option3, form.Option4};
}

// Panes keep the system's text background, push buttons their white face.
void verifyPanesAndPushButtonsUntouched(const Form1 &form)
{
    for (const RichTextPane *pane :
         {form.RichTextBox1, form.RichTextBox2, form.RichTextBox3, form.RichTextBox4}) {
        QCOMPARE(pane->palette().color(QPalette::Base), textBackground);
        QCOMPARE(fill(pane->viewport()), textBackground);
    }
    for (const QPushButton *button : {form.PushButton1, form.PushButton2, form.PushButton3,
                                      form.PushButton4, form.PushButton5, form.PushButton6})
        QCOMPARE(button->palette().color(QPalette::Button), QColor(Qt::white));
}

void verifyUsualLook(const Form1 &form)
{
    QCOMPARE(filledWith(form, Qt::white), recoloured(form));
    QVERIFY(filledWith(form, buttonFace).isEmpty());
    QCOMPARE(form.styleSheet(), QString());
    verifyPanesAndPushButtonsUntouched(form);
}

} // namespace

class TestAppearance : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void withoutSkinFileTheWindowKeepsItsWhiteBackgrounds();
    void skinRecoloursExactlyTheListedControlsBeforeItIsLoaded();
    void skinStyleSheetIsInForce();
    void hiddenSkinIsNotFoundWhileHiddenHandPointerIsLoaded();
    void unusableSkinIsReportedAndStartUpCompletes_data();
    void unusableSkinIsReportedAndStartUpCompletes();
    void handPointerComesFromTheProgramFolder_data();
    void handPointerComesFromTheProgramFolder();
};

void TestAppearance::initTestCase()
{
    // Colours no control has by chance, so that each colour seen has one source only.
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Button, buttonFace);
    palette.setColor(QPalette::Base, textBackground);
    QApplication::setPalette(palette);
}

void TestAppearance::withoutSkinFileTheWindowKeepsItsWhiteBackgrounds()
{
    TestServices test;
    Form1 form(test.services);
    verifyUsualLook(form);
    QVERIFY(test.skin.calls.isEmpty());
    QVERIFY(test.messages.shown.isEmpty());
}

void TestAppearance::skinRecoloursExactlyTheListedControlsBeforeItIsLoaded()
{
    TestServices test;
    const QString skinFile = test.programFolder.filePath(QStringLiteral("x/o.cjs"));
    writeFile(skinFile, "QLabel { color: red; }");
    test.skin.options = 0x30;
    const Form1 *window = nullptr;
    bool looked = false;
    test.skin.onLoad = [&] {
        // The window is still being built; find it among the top-level widgets.
        const Form1 *form = nullptr;
        for (const QWidget *widget : QApplication::topLevelWidgets()) {
            if (const auto *found = qobject_cast<const Form1 *>(widget))
                form = found;
        }
        QVERIFY(form);
        window = form;
        QCOMPARE(filledWith(*form, buttonFace), recoloured(*form));
        QVERIFY(filledWith(*form, Qt::white).isEmpty());
        verifyPanesAndPushButtonsUntouched(*form);
        looked = true;
    };

    Form1 form(test.services);
    QVERIFY(looked);
    QCOMPARE(window, &form);
    QCOMPARE(
        test.skin.calls,
        QStringList({QStringLiteral("loadSkin(%1, \"\")").arg(skinFile),
                     QStringLiteral("applyOptions() -> 48"), QStringLiteral("setApplyOptions(49)"),
                     QStringLiteral("setKeepFonts(true)"), QStringLiteral("setKeepSizes(true)"),
                     QStringLiteral("applyWindow")}));
    QCOMPARE(test.skin.appliedTo, &form);
    QCOMPARE(filledWith(form, buttonFace), recoloured(form));
    QVERIFY(test.messages.shown.isEmpty());
}

void TestAppearance::skinStyleSheetIsInForce()
{
    TestServices test;
    StyleSheetSkinFramework skin;
    Services services{test.settings,       test.messages, skin, test.programFolder.path(),
                      test.wordAutomation, test.dialog};
    writeFile(test.programFolder.filePath(QStringLiteral("x/o.cjs")),
              "QLabel { color: #123456; font-size: 30pt; }\n"
              "QPushButton { min-width: 900px; }");
    Form1 form(services);
    QVERIFY(form.styleSheet().contains(QLatin1String("color: #123456;")));
    form.Label1->ensurePolished();
    form.PushButton2->ensurePolished();
    QCOMPARE(form.Label1->palette().color(QPalette::WindowText), QColor(0x12, 0x34, 0x56));
    // The skin can neither enlarge the captions' font nor widen the buttons over each other.
    QCOMPARE(form.Label1->font().pointSizeF(), 9.0);
    QVERIFY(form.PushButton2->geometry().right() < form.PushButton4->geometry().left());
    QVERIFY(test.messages.shown.isEmpty());
}

void TestAppearance::hiddenSkinIsNotFoundWhileHiddenHandPointerIsLoaded()
{
    TestServices test;
    writeFile(test.programFolder.filePath(QStringLiteral("x/o.cjs")), "QLabel { color: red; }");
    writeFile(test.programFolder.filePath(QStringLiteral("x/.hidden")), "o.cjs\n");
    writeFile(test.programFolder.filePath(QStringLiteral("HAND-M.CUR")), shippedHand());
    writeFile(test.programFolder.filePath(QStringLiteral(".hidden")), "HAND-M.CUR\n");
    Form1 form(test.services);
    QVERIFY(test.skin.calls.isEmpty());
    verifyUsualLook(form);
    form.setMousePointer(Form1::customPointer);
    QCOMPARE(form.cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(form.cursor().hotSpot(), QPoint(5, 0));
    QVERIFY(test.messages.shown.isEmpty());
}

void TestAppearance::unusableSkinIsReportedAndStartUpCompletes_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QTest::newRow("not UTF-8") << QByteArray("QLabel { color: red; } /* \xff */")
                               << "it is not UTF-8 text";
    QTest::newRow("picture") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
                             << "it is not UTF-8 text";
    QTest::newRow("empty") << QByteArray() << "it is not a style sheet: it is empty";
    QTest::newRow("cut off") << QByteArray("QLabel { color: red;")
                             << "it is not a style sheet: the rule opened on line 1 is never "
                                "closed";
}

void TestAppearance::unusableSkinIsReportedAndStartUpCompletes()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    TestServices test;
    StyleSheetSkinFramework skin;
    Services services{test.settings,       test.messages, skin, test.programFolder.path(),
                      test.wordAutomation, test.dialog};
    const QString skinFile = test.programFolder.filePath(QStringLiteral("x/o.cjs"));
    writeFile(skinFile, content);
    test.settings.preset(QStringLiteral("Comparison"), QStringLiteral("2"));

    Form1 form(services);
    QCOMPARE(test.messages.texts(),
             QStringList(QStringLiteral("The skin file \"%1\" was ignored because %2.\n\n"
                                        "Parvenex starts with its usual look.")
                             .arg(QDir::toNativeSeparators(skinFile), reason)));
    QCOMPARE(test.messages.shown.first().kind, FakeMessageBoxes::Kind::Warn);
    verifyUsualLook(form);
    // The rest of start-up ran: title, stored method, stored display mode.
    QCOMPARE(form.windowTitle(), QStringLiteral("Parvenex"));
    QVERIFY(form.Option4->isChecked());
    QVERIFY(!form.PushButton1->isEnabled());
    QCOMPARE(test.settings.stored(QStringLiteral("Option2")), QStringLiteral("True"));
}

void TestAppearance::handPointerComesFromTheProgramFolder_data()
{
    QTest::addColumn<QByteArray>("content"); // of HAND-M.CUR; null for no file
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QString>("reason"); // of the message; empty for none
    QTest::newRow("no file") << QByteArray() << false << "";
    QTest::newRow("shipped hand") << shippedHand() << true << "";
    QTest::newRow("text") << QByteArray("hand") << false << "it is not a Windows cursor file";
    QTest::newRow("cut short") << shippedHand().left(200) << false << "it is cut short";
}

void TestAppearance::handPointerComesFromTheProgramFolder()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, loaded);
    QFETCH(QString, reason);
    TestServices test;
    const QString path = test.programFolder.filePath(QStringLiteral("HAND-M.CUR"));
    if (!content.isNull())
        writeFile(path, content);
    Form1 form(test.services);

    form.setMousePointer(Form1::customPointer);
    if (loaded) {
        QCOMPARE(form.cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(form.cursor().hotSpot(), QPoint(5, 0));
        QCOMPARE(form.cursor().pixmap().size(), QSize(32, 32));
    } else {
        QCOMPARE(form.cursor().shape(), Qt::PointingHandCursor);
    }
    if (reason.isEmpty()) {
        QVERIFY(test.messages.shown.isEmpty());
    } else {
        QCOMPARE(test.messages.texts(),
                 QStringList(QStringLiteral("The hand pointer file \"%1\" was ignored because "
                                            "%2.\n\nParvenex shows the system's pointing hand "
                                            "instead.")
                                 .arg(QDir::toNativeSeparators(path), reason)));
        QCOMPARE(test.messages.shown.first().kind, FakeMessageBoxes::Kind::Warn);
    }
    // Start-up went on either way.
    QCOMPARE(form.windowTitle(), QStringLiteral("Parvenex"));
}

QTEST_MAIN(TestAppearance)
#include "tst_appearance.moc"
