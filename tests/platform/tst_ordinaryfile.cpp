#include "platform/OrdinaryFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeFile(const QString &path, const QByteArray &content = "x")
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

class TestOrdinaryFile : public QObject
{
    Q_OBJECT

private slots:
    void onlyVisibleOrdinaryFilesAreFound_data();
    void onlyVisibleOrdinaryFilesAreFound();
};

void TestOrdinaryFile::onlyVisibleOrdinaryFilesAreFound_data()
{
    QTest::addColumn<QString>("path"); // below the test folder, which holds x/o.cjs, x/.o.cjs
    QTest::addColumn<QString>("list"); // a ".hidden" list, if any, and its content
    QTest::addColumn<QString>("listed");
    QTest::addColumn<bool>("found");
    QTest::newRow("plain file") << "x/o.cjs" << QString() << QString() << true;
    QTest::newRow("missing") << "x/missing.cjs" << QString() << QString() << false;
    QTest::newRow("folder") << "x" << QString() << QString() << false;
    QTest::newRow("name with a leading dot") << "x/.o.cjs" << QString() << QString() << false;
    QTest::newRow("listed as hidden") << "x/o.cjs"
                                      << "x/.hidden"
                                      << "a.txt\no.cjs\n"
                                      << false;
    QTest::newRow("listed with a CR LF line end") << "x/o.cjs"
                                                  << "x/.hidden"
                                                  << "o.cjs\r\nb" << false;
    QTest::newRow("only similar names listed") << "x/o.cjs"
                                               << "x/.hidden"
                                               << "o.cjs.bak\nO.CJS\n o.cjs\n"
                                               << true;
    QTest::newRow("empty list") << "x/o.cjs"
                                << "x/.hidden"
                                << "" << true;
    QTest::newRow("its folder is listed as hidden") << "x/o.cjs"
                                                    << ".hidden"
                                                    << "x\n"
                                                    << true;
}

void TestOrdinaryFile::onlyVisibleOrdinaryFilesAreFound()
{
    QFETCH(QString, path);
    QFETCH(QString, list);
    QFETCH(QString, listed);
    QFETCH(bool, found);
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("x")));
    writeFile(folder.filePath(QStringLiteral("x/o.cjs")));
    writeFile(folder.filePath(QStringLiteral("x/.o.cjs")));
    if (!list.isNull())
        writeFile(folder.filePath(list), listed.toUtf8());
    QCOMPARE(ordinaryFileExists(folder.filePath(path)), found);
}

QTEST_MAIN(TestOrdinaryFile)
#include "tst_ordinaryfile.moc"
