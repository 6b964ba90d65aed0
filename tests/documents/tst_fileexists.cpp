#include "documents/FileExists.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestFileExists : public QObject
{
    Q_OBJECT

private slots:
    void trueWhenAModificationTimeCanBeRead_data();
    void trueWhenAModificationTimeCanBeRead();
};

void TestFileExists::trueWhenAModificationTimeCanBeRead_data()
{
    QTest::addColumn<QString>("path"); // below a folder holding "a.txt", ".hidden.txt" and "sub"
    QTest::addColumn<bool>("exists");
    QTest::newRow("file") << "a.txt" << true;
    QTest::newRow("hidden file") << ".hidden.txt" << true;
    QTest::newRow("folder") << "sub" << true;
    QTest::newRow("missing") << "b.txt" << false;
    QTest::newRow("below a file") << "a.txt/b.txt" << false;
    QTest::newRow("letter case differs") << "A.TXT" << false;
}

void TestFileExists::trueWhenAModificationTimeCanBeRead()
{
    QFETCH(QString, path);
    QFETCH(bool, exists);
    QTemporaryDir folder;
    for (const char *name : {"a.txt", ".hidden.txt"}) {
        QFile file(folder.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("sub")));
    QCOMPARE(FileExists(folder.filePath(path)), exists);
    QVERIFY(!FileExists(QString()));
}

QTEST_MAIN(TestFileExists)
#include "tst_fileexists.moc"
