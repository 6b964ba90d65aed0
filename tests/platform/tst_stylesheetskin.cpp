#include "platform/StyleSheetSkinFramework.h"
#include "platform/StyleSheetText.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString writeSkin(const QTemporaryDir &folder, const QByteArray &content)
{
    const QString path = folder.filePath(QStringLiteral("o.cjs"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}

} // namespace

class TestStyleSheetSkin : public QObject
{
    Q_OBJECT

private slots:
    void recognisesStyleSheets_data();
    void recognisesStyleSheets();
    void refusesFilesThatAreNoStyleSheet_data();
    void refusesFilesThatAreNoStyleSheet();
    void refusesFilesThatCannotBeRead();
    void failedLoadLeavesNoSkin();
    void relativeUrlsPointIntoTheImageFolder_data();
    void relativeUrlsPointIntoTheImageFolder();
    void loadingResolvesUrlsAgainstTheSkinFolderByDefault();
    void dropsOnlyTheNamedProperties_data();
    void dropsOnlyTheNamedProperties();
    void appliesTheStyleSheetOnlyWithItsOption();
    void keepFontsKeepsTheWindowsFonts();
    void keepSizesKeepsControlsInPlace();
    void exampleSkinLoads();
};

void TestStyleSheetSkin::recognisesStyleSheets_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("problem");
    QTest::newRow("one rule") << "QLabel { color: red; }"
                              << "";
    QTest::newRow("last declaration without semicolon") << "QLabel { color: red; background: blue }"
                                                        << "";
    QTest::newRow("empty rule") << "QLabel {}"
                                << "";
    QTest::newRow("comments and strings")
        << "/* { */ QLabel[text=\"a}b\"] { /* } */ color : red; font-family: 'x;y' }"
        << "";
    QTest::newRow("sub-controls and states")
        << "QGroupBox::title:hover, QPushButton:!enabled {\n  -qt-background-role: base;\n}"
        << "";
    QTest::newRow("empty") << ""
                           << "it is empty";
    QTest::newRow("blank") << " \n\t\r\n"
                           << "it is empty";
    QTest::newRow("NUL byte") << QString(QStringLiteral("QLabel { color: red; }") + QChar(0))
                              << "it holds control characters, so it is not text";
    QTest::newRow("comment only") << "/* nothing yet */"
                                  << "it holds no style rules";
    QTest::newRow("prose") << "Hello,\nthis is my skin."
                           << "line 1 holds text outside any rule";
    QTest::newRow("unclosed rule") << "QLabel { color: red;\nQPushButton { color: blue; }"
                                   << "line 2 opens a rule inside a rule";
    QTest::newRow("rule never closed") << "\nQLabel { color: red;"
                                       << "the rule opened on line 2 is never closed";
    QTest::newRow("stray brace") << "QLabel { color: red; }\n}"
                                 << "line 2 closes a rule that was never opened";
    QTest::newRow("no selector") << "\n\n{ color: red; }"
                                 << "the rule on line 3 has no selector";
    QTest::newRow("comment never closed") << "QLabel { color: red; }\n/* oops"
                                          << "a comment opened on line 2 is never closed";
    QTest::newRow("string never closed") << "QLabel { font-family: \"Arial; }\n"
                                         << "a string opened on line 1 is never closed";
    QTest::newRow("program") << "int main()\n{\n    return 0;\n}"
                             << "line 3 holds \"return 0\", which is not a declaration "
                                "(property: value)";
    QTest::newRow("JSON") << "{\"skin\": \"blue\"}"
                          << "the rule on line 1 has no selector";
    QTest::newRow("text after the last rule") << "QLabel { color: red; }\nthe end"
                                              << "line 2 holds text outside any rule";
}

void TestStyleSheetSkin::recognisesStyleSheets()
{
    QFETCH(QString, sheet);
    QFETCH(QString, problem);
    QCOMPARE(StyleSheetText::problem(sheet), problem);
}

void TestStyleSheetSkin::refusesFilesThatAreNoStyleSheet_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QTest::newRow("Latin-1 text") << QByteArray("QLabel { color: red; } /* caf\xe9 */")
                                  << "it is not UTF-8 text";
    QTest::newRow("picture") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
                             << "it is not UTF-8 text";
    QTest::newRow("binary that is valid UTF-8")
        << QByteArray("QLabel\0{}", 9)
        << "it is not a style sheet: it holds control characters, "
           "so it is not text";
    QTest::newRow("empty") << QByteArray() << "it is not a style sheet: it is empty";
    QTest::newRow("prose") << QByteArray("blue")
                           << "it is not a style sheet: line 1 holds text outside any rule";
    QTest::newRow("too large") << QByteArray("QLabel { color: red; }\n").repeated(50000)
                               << "it is larger than 1 MB, far too large for a style sheet";
}

void TestStyleSheetSkin::refusesFilesThatAreNoStyleSheet()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    StyleSheetSkinFramework skin;
    QVERIFY(!skin.loadSkin(writeSkin(folder, content), QString()));
    QCOMPARE(skin.lastError(), reason);
}

void TestStyleSheetSkin::refusesFilesThatCannotBeRead()
{
    QTemporaryDir folder;
    StyleSheetSkinFramework skin;
    QVERIFY(!skin.loadSkin(folder.filePath(QStringLiteral("missing.cjs")), QString()));
    QVERIFY2(skin.lastError().startsWith(QLatin1String("it cannot be read (")),
             qPrintable(skin.lastError()));
    QVERIFY(!skin.loadSkin(folder.path(), QString()));
    QVERIFY2(skin.lastError().startsWith(QLatin1String("it cannot be read (")),
             qPrintable(skin.lastError()));
}

void TestStyleSheetSkin::failedLoadLeavesNoSkin()
{
    QTemporaryDir folder;
    StyleSheetSkinFramework skin;
    skin.setApplyOptions(SkinFramework::applyStyleSheet);
    QVERIFY(skin.loadSkin(writeSkin(folder, "QLabel { color: red; }"), QString()));
    QVERIFY(!skin.loadSkin(writeSkin(folder, "not a skin"), QString()));
    QWidget window;
    skin.applyWindow(window);
    QCOMPARE(window.styleSheet(), QString());
}

void TestStyleSheetSkin::relativeUrlsPointIntoTheImageFolder_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("expected");
    QTest::newRow("bare") << "a { image: url(img/x.png); }"
                          << "a { image: url(\"/skins/blue/img/x.png\"); }";
    QTest::newRow("quoted, with spaces") << "a { image: URL( 'x y.png' ) }"
                                         << "a { image: url(\"/skins/blue/x y.png\") }";
    QTest::newRow("parent folder") << "a { image: url(\"../x.png\"); }"
                                   << "a { image: url(\"/skins/x.png\"); }";
    QTest::newRow("two urls")
        << "a { image: url(a.png); } b { image: url(b.png); }"
        << "a { image: url(\"/skins/blue/a.png\"); } b { image: url(\"/skins/blue/b.png\"); }";
    QTest::newRow("absolute path") << "a { image: url(/usr/x.png); }"
                                   << "a { image: url(/usr/x.png); }";
    QTest::newRow("resource") << "a { image: url(:/x.png); }"
                              << "a { image: url(:/x.png); }";
    QTest::newRow("no url") << "a { color: red; }"
                            << "a { color: red; }";
}

void TestStyleSheetSkin::relativeUrlsPointIntoTheImageFolder()
{
    QFETCH(QString, sheet);
    QFETCH(QString, expected);
    QCOMPARE(StyleSheetText::withUrlsIn(sheet, QStringLiteral("/skins/blue")), expected);
}

void TestStyleSheetSkin::loadingResolvesUrlsAgainstTheSkinFolderByDefault()
{
    QTemporaryDir folder;
    StyleSheetSkinFramework skin;
    const QString path = writeSkin(folder, "QLabel { image: url(hand.png); }");
    QVERIFY(skin.loadSkin(path, QString()));
    QCOMPARE(skin.styleSheet(),
             QStringLiteral("QLabel { image: url(\"%1/hand.png\"); }").arg(folder.path()));
    QVERIFY(skin.loadSkin(path, QStringLiteral("/pictures")));
    QCOMPARE(skin.styleSheet(), QStringLiteral("QLabel { image: url(\"/pictures/hand.png\"); }"));
}

void TestStyleSheetSkin::dropsOnlyTheNamedProperties_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("expected");
    QTest::newRow("named ones") << "a { font: bold 9pt; color: red; font-size: 3pt; }"
                                << "a {  color: red;  }";
    QTest::newRow("last without semicolon") << "a { color: red; font-size: 3pt }"
                                            << "a { color: red; }";
    QTest::newRow("any letter case") << "a { Font-Size: 3pt; }"
                                     << "a {  }";
    QTest::newRow("longer names stay") << "a { border-font-size: 1px; font-sizes: 2px; }"
                                       << "a { border-font-size: 1px; font-sizes: 2px; }";
    QTest::newRow("class names stay") << "QFontDialog { color: red; }"
                                      << "QFontDialog { color: red; }";
}

void TestStyleSheetSkin::dropsOnlyTheNamedProperties()
{
    QFETCH(QString, sheet);
    QFETCH(QString, expected);
    QCOMPARE(StyleSheetText::withoutProperties(
                 sheet, {QStringLiteral("font"), QStringLiteral("font-size")}),
             expected);
}

void TestStyleSheetSkin::appliesTheStyleSheetOnlyWithItsOption()
{
    QTemporaryDir folder;
    StyleSheetSkinFramework skin;
    QVERIFY(skin.loadSkin(writeSkin(folder, "QLabel { color: #123456; }"), QString()));
    QWidget window;
    auto *caption = new QLabel(QStringLiteral("Text File #1:"), &window);

    skin.setApplyOptions(0x30);
    skin.applyWindow(window);
    QCOMPARE(window.styleSheet(), QString());

    skin.setApplyOptions(0x30 | SkinFramework::applyStyleSheet);
    skin.applyWindow(window);
    QCOMPARE(window.styleSheet(), QStringLiteral("QLabel { color: #123456; }"));
    caption->ensurePolished();
    QCOMPARE(caption->palette().color(QPalette::WindowText), QColor(0x12, 0x34, 0x56));
}

void TestStyleSheetSkin::keepFontsKeepsTheWindowsFonts()
{
    QTemporaryDir folder;
    StyleSheetSkinFramework skin;
    QVERIFY(skin.loadSkin(
        writeSkin(folder, "QLabel { font-size: 40pt; font-weight: normal; color: #123456; }"),
        QString()));
    skin.setApplyOptions(SkinFramework::applyStyleSheet);
    for (const bool keep : {true, false}) {
        QWidget window;
        auto *caption = new QLabel(QStringLiteral("Text File #1:"), &window);
        QFont font = caption->font();
        font.setPointSize(9);
        font.setBold(true);
        caption->setFont(font);
        skin.setKeepFonts(keep);
        skin.applyWindow(window);
        caption->ensurePolished();
        QCOMPARE(caption->font().pointSize() == 9, keep);
        QCOMPARE(caption->font().bold(), keep);
        QCOMPARE(caption->palette().color(QPalette::WindowText), QColor(0x12, 0x34, 0x56));
    }
}

void TestStyleSheetSkin::keepSizesKeepsControlsInPlace()
{
    QTemporaryDir folder;
    StyleSheetSkinFramework skin;
    QVERIFY(skin.loadSkin(writeSkin(folder, "QPushButton { min-width: 500px; max-height: 5px; "
                                            "border: 2px solid red; }"),
                          QString()));
    skin.setApplyOptions(SkinFramework::applyStyleSheet);
    for (const bool keep : {true, false}) {
        QWidget window;
        auto *button = new QPushButton(QStringLiteral("Save Results #1"), &window);
        button->setGeometry(10, 10, 140, 28);
        skin.setKeepSizes(keep);
        skin.applyWindow(window);
        button->ensurePolished();
        QCOMPARE(button->minimumWidth() < 500, keep);
        QCOMPARE(button->geometry() == QRect(10, 10, 140, 28), keep);
        QCOMPARE(window.styleSheet().contains(QLatin1String("border: 2px solid red;")), true);
    }
}

void TestStyleSheetSkin::exampleSkinLoads()
{
    StyleSheetSkinFramework skin;
    QVERIFY2(skin.loadSkin(QStringLiteral(PARVENEX_EXAMPLES "/skin/x/o.cjs"), QString()),
             qPrintable(skin.lastError()));
}

QTEST_MAIN(TestStyleSheetSkin)
#include "tst_stylesheetskin.moc"
