#include "platform/StyleSheetSkinFramework.h"

#include "TempFiles.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

class TestStyleSheetSkin : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { skin_.setKeepFonts(true); }

    void loadsRewritesAndAppliesOrRefuses_data()
    {
        QTest::addColumn<QByteArray>("content"); // null for no file
        QTest::addColumn<bool>("loads");
        // The style sheet in force, with %1 for the skin's folder and %2 for its parent; or the
        // reason.
        QTest::addColumn<QString>("result");
        const QString no = u"it is not a style sheet: "_s;
        // clang-format off
        QTest::newRow("comments, strings, states, no last semicolon")
            << "/* { */ QLabel[text=\"a}b\"]:hover, QGroupBox::title { /* } */\n  -qt-background-role : base; b: 'x;y' }"_ba
            << true << u"/* { */ QLabel[text=\"a}b\"]:hover, QGroupBox::title { /* } */\n  -qt-background-role : base; b: 'x;y' }"_s;
        QTest::newRow("bare, parent, quoted, absolute and resource urls")
            << "a { image: url(i/a.png); } b { c: url(../b.png); d: URL( 'x y.png' ); e: url(/usr/x.png); f: url(:/x.png) }"_ba << true
            << u"a { image: url(\"%1/i/a.png\"); } b { c: url(\"%2/b.png\"); d: url(\"%1/x y.png\"); e: url(/usr/x.png); f: url(:/x.png) }"_s;
        QTest::newRow("fonts, any case, no last semicolon")
            << "a { font: bold 9pt; color: red; Font-Size: 3pt; } b { color: red; font-size: 3pt }"_ba << true << u"a {  color: red;  } b { color: red; }"_s;
        QTest::newRow("longer names, names outside declarations")
            << "QFontDialog { border-font-size: 1px; font-sizes: 2px }\n/* font: 1 */ font:hover { b: 'font: 2'; /* c */ font: 3 }"_ba << true
            << u"QFontDialog { border-font-size: 1px; font-sizes: 2px }\n/* font: 1 */ font:hover { b: 'font: 2'; /* c */ }"_s;
        QTest::newRow("not urls, backslash") << "a {\n b: url(c;\n d: ( ) }\n e { f: url(g\\h) }"_ba << true
                                 << u"a {\n b: url(c;\n d: ( ) }\n e { f: url(g\\h) }"_s;
        // After a failed load, nothing of the earlier skin is left to apply.
        QTest::newRow("Latin-1") << "a {} /* caf\xe9 */"_ba << false << u"it is not UTF-8 text"_s;
        QTest::newRow("1 MB") << "a {}"_ba + QByteArray(1024 * 1024 - 4, ' ') << true << u"a {}"_s + QString(1024 * 1024 - 4, u' ');
        QTest::newRow("too large") << "a {}"_ba + QByteArray(1024 * 1024 - 3, ' ') << false
                                   << u"it is larger than 1 MB, far too large for a style sheet"_s;
        QTest::newRow("missing") << QByteArray() << false << u"it cannot be read (%1)"_s.arg(openError(u"no such file"_s));
        QTest::newRow("blank") << " \n\t\r\n"_ba << false << no + u"it is empty"_s;
        QTest::newRow("NUL") << "a {}\0"_ba << false << no + u"it holds control characters, so it is not text"_s;
        QTest::newRow("comment only") << "/* nothing yet */"_ba << false << no + u"it holds no style rules"_s;
        QTest::newRow("prose") << "Hello,\nmy skin."_ba << false << no + u"line 1 holds text outside any rule"_s;
        QTest::newRow("unclosed rule") << "a {\nb {}"_ba << false << no + u"line 2 opens a rule inside a rule"_s;
        QTest::newRow("stray brace") << "a {}\n}"_ba << false << no + u"line 2 closes a rule that was never opened"_s;
        QTest::newRow("no selector") << "\n\n{ }"_ba << false << no + u"the rule on line 3 has no selector"_s;
        QTest::newRow("open comment") << "a {}\n/*"_ba << false << no + u"a comment opened on line 2 is never closed"_s;
        QTest::newRow("open string") << "a { b: \"c; }"_ba << false << no + u"a string opened on line 1 is never closed"_s;
        QTest::newRow("program") << "int main()\n{\n    return 0;\n}"_ba << false
                                 << no + u"line 3 holds \"return 0\", which is not a declaration (property: value)"_s;
        // clang-format on
    }

    void loadsRewritesAndAppliesOrRefuses()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, loads);
        QFETCH(QString, result);
        QTemporaryDir folder;
        const QString file = folder.filePath(u"x/o.cjs"_s);
        QVERIFY(QDir(folder.path()).mkpath(u"x"_s));
        QVERIFY(content.isNull() || writeFile(file, content));
        // Relative urls point into the skin's own folder when no image folder is given.
        QCOMPARE(skin_.loadSkin(file, QString()), loads);
        QCOMPARE(skin_.lastError(), loads ? QString() : result);
        QCOMPARE(skin_.styleSheet(),
                 loads ? result.arg(folder.filePath(u"x"_s), folder.path()) : QString());
        QWidget window;
        skin_.setApplyOptions(0x30 | SkinFramework::applyStyleSheet);
        skin_.applyWindow(window);
        QCOMPARE(window.styleSheet(), skin_.styleSheet());
    }

private:
    StyleSheetSkinFramework skin_; // one for all rows, which run in order
};

QTEST_MAIN(TestStyleSheetSkin)
#include "tst_stylesheetskin.moc"
