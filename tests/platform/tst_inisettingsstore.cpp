#include "TempFiles.h"
#include "platform/IniSettingsStore.h"

#include <QTemporaryDir>
#include <QTest>

class TestIniSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void writtenValuesReachTheFileAtOnce()
    {
        QTemporaryDir folder;
        IniSettingsStore store(folder.path());
        QVERIFY(store.write("Quenlow", "Parvenex", "Option2", "True"));
        QVERIFY(store.write("Quenlow", "Parvenex", "Comparison", "2"));
        QCOMPARE(readFile(folder.filePath("Quenlow.ini")),
                 "[Parvenex]\nComparison=2\nOption2=True\n");
    }

    void handEditedEntriesAreReadAsTheyStand()
    {
        QTemporaryDir folder;
        QVERIFY(
            writeFile(folder.filePath("Quenlow.ini"),
                      "[Parvenex]\nOption1=a, b\nOption2=\nComparison=\"7\"\n\x01\xff garbage\n"));
        const IniSettingsStore store(folder.path());
        QCOMPARE(store.read("Quenlow", "Parvenex", "Option1", "0"), QStringLiteral("0"));
        QCOMPARE(store.read("Quenlow", "Parvenex", "Option2", "1"), QString());
        QCOMPARE(store.read("Quenlow", "Parvenex", "Comparison", "1"), QStringLiteral("7"));
        QCOMPARE(store.read("Quenlow", "Other", "Option1", "d"), QStringLiteral("d"));
    }

    void unwritableFolderIsReported()
    {
        QTemporaryDir folder;
        // A file where the folder should be: the folder can never be created.
        QVERIFY(writeFile(folder.filePath("blocked"), {}));
        IniSettingsStore store(folder.filePath("blocked/config"));
        QVERIFY(!store.write("Quenlow", "Parvenex", "Option1", "True"));
        QVERIFY(store.lastError().contains(folder.filePath("blocked/config")));
    }
};

QTEST_GUILESS_MAIN(TestIniSettingsStore)
#include "tst_inisettingsstore.moc"
