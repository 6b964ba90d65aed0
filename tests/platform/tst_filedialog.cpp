#include "platform/QtFileDialog.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

class TestFileDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The patterns a description shows give way to its real ones; an empty pair is skipped.
    void nameFiltersFromTheFilter()
    {
        QCOMPARE(QtFileDialog::nameFilters(u"Text Files(*.txt)|*.txt|All Files (*.*)|*.*|"_s),
                 (QStringList{u"Text Files (*.txt)"_s, u"All Files (*)"_s}));
        QCOMPARE(QtFileDialog::nameFilters(u"Texts|*.txt;*.log|Odd|||*.md"_s),
                 (QStringList{u"Texts (*.txt *.log)"_s, u"*.md"_s}));
    }

    void doubledSeparatorsAreTidied_data()
    {
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("tidied");
        // clang-format off
        QTest::newRow("network share")        << QChar(u'\\') << u"\\\\server\\share\\\\a.txt"_s << u"\\\\server\\share\\a.txt"_s;
        QTest::newRow("share, three at start") << QChar(u'\\') << u"\\\\\\x\\\\\\y"_s         << u"\\\\\\x\\\\y"_s;
        QTest::newRow("drive root")           << QChar(u'\\') << u"C:\\\\a.txt"_s                << u"C:\\a.txt"_s;
        QTest::newRow("slashes on Windows")   << QChar(u'\\') << u"//server//a"_s                 << u"//server//a"_s;
        // The root folder's own separator, doubled by the join.
        QTest::newRow("unix root")            << QChar(u'/')  << u"//a.txt"_s                     << u"/a.txt"_s;
        QTest::newRow("backslashes on unix")  << QChar(u'/')  << u"\\\\x"_s                        << u"\\\\x"_s;
        // clang-format on
    }

    void doubledSeparatorsAreTidied()
    {
        QFETCH(QChar, separator);
        QFETCH(QString, path);
        QTEST(FileDialog::withoutDoubledSeparators(path, separator), "tidied");
    }
};

QTEST_MAIN(TestFileDialog)
#include "tst_filedialog.moc"
