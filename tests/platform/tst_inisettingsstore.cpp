#include "platform/IniSettingsStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestIniSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void writtenValuesReachTheFileAtOnce();
    void missingAndHandEditedEntriesReadAsTheDefault();
    void unwritableFolderIsReported();
};

void TestIniSettingsStore::writtenValuesReachTheFileAtOnce()
{
    QTemporaryDir folder;
    IniSettingsStore store(folder.path());
    QVERIFY(store.write("Quenlow", "Parvenex", "Option2", "True"));
    QVERIFY(store.write("Quenlow", "Parvenex", "Comparison", "2"));

    QFile file(folder.filePath("Quenlow.ini"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray contents = file.readAll();
    QVERIFY(contents.contains("[Parvenex]"));
    QVERIFY(contents.contains("Option2=True"));
    QVERIFY(contents.contains("Comparison=2"));

    const IniSettingsStore reopened(folder.path());
    QCOMPARE(reopened.read("Quenlow", "Parvenex", "Option2", "x"), QStringLiteral("True"));
    QCOMPARE(reopened.read("Quenlow", "Parvenex", "Comparison", "1"), QStringLiteral("2"));
}

void TestIniSettingsStore::missingAndHandEditedEntriesReadAsTheDefault()
{
    QTemporaryDir folder;
    QFile file(folder.filePath("Quenlow.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Parvenex]\nOption1=a, b\nOption2=\nComparison=\"7\"\n\x01\xff garbage\n");
    file.close();
    const IniSettingsStore store(folder.path());
    QCOMPARE(store.read("Quenlow", "Parvenex", "Option1", "0"), QStringLiteral("0"));
    QCOMPARE(store.read("Quenlow", "Parvenex", "Option2", "1"), QString());
    QCOMPARE(store.read("Quenlow", "Parvenex", "Comparison", "1"), QStringLiteral("7"));
    QCOMPARE(store.read("Quenlow", "Other", "Option1", "d"), QStringLiteral("d"));
}

void TestIniSettingsStore::unwritableFolderIsReported()
{
    QTemporaryDir folder;
    // A regular file where the folder should be: it can never be created.
    QFile blocker(folder.filePath("blocked"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    IniSettingsStore store(folder.filePath("blocked/config"));
    QVERIFY(!store.write("Quenlow", "Parvenex", "Option1", "True"));
    QVERIFY(store.lastError().contains(folder.filePath("blocked/config")));
}

QTEST_GUILESS_MAIN(TestIniSettingsStore)
#include "tst_inisettingsstore.moc"
