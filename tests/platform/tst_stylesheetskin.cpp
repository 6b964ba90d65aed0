#include "platform/StyleSheetSkinFramework.h"
#include "platform/StyleSheetText.h"

#include "TempFiles.h"

#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using namespace Qt::StringLiterals;

class TestStyleSheetSkin : public QObject
{
    Q_OBJECT

private slots:
    void recognisesStyleSheets_data();
    void recognisesStyleSheets();
    void loadsOrRefusesFiles_data();
    void loadsOrRefusesFiles();
    void appliesOnlyWithItsOptionAndNothingAfterAFailedLoad();
    void rewritesUrlsAndDropsNamedProperties_data();
    void rewritesUrlsAndDropsNamedProperties();
};

void TestStyleSheetSkin::recognisesStyleSheets_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("problem"); // empty for a style sheet
    QTest::newRow("comments, strings, states, no last semicolon")
        << u"/* { */ QLabel[text=\"a}b\"]:hover, QGroupBox::title { /* } */\n"
           u"  -qt-background-role : base; font-family: 'x;y' }"_s
        << QString();
    QTest::newRow("blank") << u" \n\t\r\n"_s << u"it is empty"_s;
    QTest::newRow("NUL") << u"a {}\0"_s << u"it holds control characters, so it is not text"_s;
    QTest::newRow("comment only") << u"/* nothing yet */"_s << u"it holds no style rules"_s;
    QTest::newRow("prose") << u"Hello,\nmy skin."_s << u"line 1 holds text outside any rule"_s;
    QTest::newRow("unclosed rule") << u"a {\nb {}"_s << u"line 2 opens a rule inside a rule"_s;
    QTest::newRow("never closed") << u"\na {"_s << u"the rule opened on line 2 is never closed"_s;
    QTest::newRow("stray brace") << u"a {}\n}"_s << u"line 2 closes a rule that was never opened"_s;
    QTest::newRow("no selector") << u"\n\n{ }"_s << u"the rule on line 3 has no selector"_s;
    QTest::newRow("open comment") << u"a {}\n/*"_s
                                  << u"a comment opened on line 2 is never closed"_s;
    QTest::newRow("open string") << u"a { b: \"c; }"_s
                                 << u"a string opened on line 1 is never closed"_s;
    QTest::newRow("program") << u"int main()\n{\n    return 0;\n}"_s
                             << u"line 3 holds \"return 0\", which is not a declaration "
                                u"(property: value)"_s;
}

void TestStyleSheetSkin::recognisesStyleSheets()
{
    QFETCH(QString, sheet);
    QFETCH(QString, problem);
    QCOMPARE(StyleSheetText::problem(sheet), problem);
}

void TestStyleSheetSkin::loadsOrRefusesFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason"); // empty when the file loads
    QTest::newRow("usable") << "QLabel { image: url(hand.png); }"_ba << QString();
    QTest::newRow("Latin-1") << "a {} /* caf\xe9 */"_ba << u"it is not UTF-8 text"_s;
    QTest::newRow("prose") << "blue"_ba
                           << u"it is not a style sheet: line 1 holds text outside any rule"_s;
    QTest::newRow("too large") << "QLabel { color: red; }\n"_ba.repeated(50000)
                               << u"it is larger than 1 MB, far too large for a style sheet"_s;
}

void TestStyleSheetSkin::loadsOrRefusesFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    QVERIFY(writeFile(folder.filePath(u"o.cjs"_s), content));
    StyleSheetSkinFramework skin;
    QCOMPARE(skin.loadSkin(folder.filePath(u"o.cjs"_s), QString()), reason.isEmpty());
    QCOMPARE(skin.lastError(), reason);
    // Relative urls point into the skin's own folder when no image folder is given.
    QCOMPARE(skin.styleSheet(),
             reason.isEmpty() ? u"QLabel { image: url(\"%1/hand.png\"); }"_s.arg(folder.path())
                              : QString());
}

void TestStyleSheetSkin::appliesOnlyWithItsOptionAndNothingAfterAFailedLoad()
{
    StyleSheetSkinFramework skin;
    QVERIFY2(skin.loadSkin(QStringLiteral(PARVENEX_EXAMPLES "/skin/x/o.cjs"), QString()),
             qPrintable(skin.lastError()));
    QWidget window;
    skin.setApplyOptions(0x30);
    skin.applyWindow(window);
    QCOMPARE(window.styleSheet(), QString());
    skin.setApplyOptions(0x30 | SkinFramework::applyStyleSheet);
    skin.applyWindow(window);
    QVERIFY(window.styleSheet().contains(u"QLabel {"_s));

    QVERIFY(!skin.loadSkin(u"/nonexistent/o.cjs"_s, QString()));
    QVERIFY2(skin.lastError().startsWith(u"it cannot be read ("_s), qPrintable(skin.lastError()));
    QWidget other;
    skin.applyWindow(other);
    QCOMPARE(other.styleSheet(), QString());
}

void TestStyleSheetSkin::rewritesUrlsAndDropsNamedProperties_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("expected"); // with urls in /s/b and no font or font-size
    QTest::newRow("bare urls, parent folder")
        << u"a { image: url(i/a.png); } b { c: url(../b.png); }"_s
        << u"a { image: url(\"/s/b/i/a.png\"); } b { c: url(\"/s/b.png\"); }"_s;
    QTest::newRow("quoted url") << u"a { image: URL( 'x y.png' ) }"_s
                                << u"a { image: url(\"/s/b/x y.png\") }"_s;
    QTest::newRow("absolute, resource") << u"a { b: url(/usr/x.png); c: url(:/x.png) }"_s
                                        << u"a { b: url(/usr/x.png); c: url(:/x.png) }"_s;
    QTest::newRow("named properties, any case")
        << u"a { font: bold 9pt; color: red; Font-Size: 3pt; }"_s << u"a {  color: red;  }"_s;
    QTest::newRow("no last semicolon")
        << u"a { color: red; font-size: 3pt }"_s << u"a { color: red; }"_s;
    QTest::newRow("longer names") << u"QFontDialog { border-font-size: 1px; font-sizes: 2px }"_s
                                  << u"QFontDialog { border-font-size: 1px; font-sizes: 2px }"_s;
}

void TestStyleSheetSkin::rewritesUrlsAndDropsNamedProperties()
{
    QFETCH(QString, sheet);
    QFETCH(QString, expected);
    const QString withUrls = StyleSheetText::withUrlsIn(sheet, u"/s/b"_s);
    QCOMPARE(StyleSheetText::withoutProperties(withUrls, {u"font"_s, u"font-size"_s}), expected);
}

QTEST_MAIN(TestStyleSheetSkin)
#include "tst_stylesheetskin.moc"
