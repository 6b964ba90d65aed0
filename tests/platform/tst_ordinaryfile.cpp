#include "platform/OrdinaryFile.h"

#include "TempFiles.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

class TestOrdinaryFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void onlyVisibleOrdinaryFilesAreFound_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("listed"); // in x/.hidden
        QTest::addColumn<bool>("found");
        QTest::newRow("plain file") << u"x/o.cjs"_s << ""_ba << true;
        QTest::newRow("folder") << u"x"_s << ""_ba << false;
        QTest::newRow("leading dot") << u"x/.o.cjs"_s << ""_ba << false;
        QTest::newRow("listed") << u"x/o.cjs"_s << "a.txt\no.cjs\n"_ba << false;
        QTest::newRow("listed, CR LF") << u"x/o.cjs"_s << "o.cjs\r\nb"_ba << false;
        QTest::newRow("similar names listed")
            << u"x/o.cjs"_s << "o.cjs.bak\nO.CJS\n o.cjs\n"_ba << true;
    }

    void onlyVisibleOrdinaryFilesAreFound()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, listed);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkpath(u"x"_s));
        // A hidden folder does not hide the files in it.
        for (const char *name : {"x/o.cjs", "x/.o.cjs", ".hidden"})
            QVERIFY(writeFile(folder.filePath(QLatin1String(name)), "x\n"));
        QVERIFY(writeFile(folder.filePath(u"x/.hidden"_s), listed));
        QTEST(ordinaryFileExists(folder.filePath(path)), "found");
    }
};

QTEST_MAIN(TestOrdinaryFile)
#include "tst_ordinaryfile.moc"
