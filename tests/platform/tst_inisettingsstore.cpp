#include "TempFiles.h"
#include "platform/IniSettingsStore.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {
const QString app = u"Quenlow"_s;
const QString section = u"Parvenex"_s;
} // namespace

class TestIniSettingsStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writtenValuesReachTheFileAtOnce()
    {
        QTemporaryDir folder;
        IniSettingsStore store(folder.path());
        QVERIFY(store.write(app, section, u"Option2"_s, u"True"_s));
        QVERIFY(store.write(app, section, u"Comparison"_s, u"2"_s));
        // QSettings ends the lines as the platform's text files do.
        QByteArray expected("[Parvenex]\nComparison=2\nOption2=True\n");
#ifdef Q_OS_WIN
        expected.replace("\n", "\r\n");
#endif
        QCOMPARE(readFile(folder.filePath(u"Quenlow.ini"_s)), expected);
    }

    void handEditedEntriesAreReadAsTheyStand()
    {
        QTemporaryDir folder;
        QVERIFY(writeFile(folder.filePath(u"Quenlow.ini"_s),
                          "[Parvenex]\nOption1=a, b\nOption2=\nComparison=\"7\"\n\x01\xff garbage\n"
                          "Bytes=@ByteArray(2)\nBoolean=@Variant(\\0\\0\\0\\x1\\x1)\n"));
        const IniSettingsStore store(folder.path());
        QCOMPARE(store.read(app, section, u"Option1"_s, u"0"_s), u"0"_s);
        QCOMPARE(store.read(app, section, u"Option2"_s, u"1"_s), QString());
        QCOMPARE(store.read(app, section, u"Comparison"_s, u"1"_s), u"7"_s);
        QCOMPARE(store.read(app, u"Other"_s, u"Option1"_s, u"d"_s), u"d"_s);
        // Entries that QSettings reads as another type are no text the user typed.
        QCOMPARE(store.read(app, section, u"Bytes"_s, u"d"_s), u"d"_s);
        QCOMPARE(store.read(app, section, u"Boolean"_s, u"d"_s), u"d"_s);
    }

    void unwritableFolderIsReported()
    {
        QTemporaryDir folder;
        // A file where the folder should be: the folder can never be created.
        QVERIFY(writeFile(folder.filePath(u"blocked"_s), {}));
        IniSettingsStore store(folder.filePath(u"blocked/config"_s));
        QVERIFY(!store.write(app, section, u"Option1"_s, u"True"_s));
        QVERIFY(store.lastError().contains(folder.filePath(u"blocked/config"_s)));
    }
};

QTEST_GUILESS_MAIN(TestIniSettingsStore)
#include "tst_inisettingsstore.moc"
