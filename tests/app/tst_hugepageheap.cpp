#include "app/HugePageHeap.h"

#include <QtTest>
#include <QtWidgets>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {
// Started with this argument, the program restarts itself as the real one does and prints the
// tunables glibc was started with, its name, and the environment it hands on.
const char *const childArgument = "--print-tunables";

// The tunables the process was started with. glibc parses them in place, cutting them at each
// ':', so they are the variable and the entries after it that it cut off.
QByteArray startingTunables()
{
    QFile file(QStringLiteral("/proc/self/environ"));
    if (!file.open(QIODevice::ReadOnly))
        return "<unreadable>";
    QByteArrayList tunables;
    for (const QByteArray &entry : file.readAll().split('\0')) {
        if (entry.startsWith("GLIBC_TUNABLES="))
            tunables.append(entry.mid(15));
        else if (!tunables.isEmpty() && entry.startsWith("glibc."))
            tunables.append(entry);
        else if (!tunables.isEmpty())
            break;
    }
    return tunables.join(':');
}

QByteArray processName()
{
    QFile file(QStringLiteral("/proc/self/comm"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : "<unreadable>";
}
} // namespace

class TestHugePageHeap : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void restartsOnceWithTheTunable_data()
    {
        QTest::addColumn<QByteArray>("given");
        QTest::addColumn<QByteArray>("seen");
        QTest::newRow("none set") << QByteArray() << QByteArray("glibc.malloc.hugetlb=1");
        QTest::newRow("others kept") << QByteArray("glibc.malloc.check=0")
                                     << QByteArray("glibc.malloc.check=0:glibc.malloc.hugetlb=1");
        QTest::newRow("the user's choice stands")
            << QByteArray("glibc.malloc.hugetlb=0") << QByteArray("glibc.malloc.hugetlb=0");
    }

    void restartsOnceWithTheTunable()
    {
        QFETCH(QByteArray, given);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("GLIBC_TUNABLES"));
        if (!given.isEmpty())
            environment.insert(QStringLiteral("GLIBC_TUNABLES"), QString::fromLatin1(given));
        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(),
                    {QLatin1String(childArgument), QStringLiteral("second argument")});
        QVERIFY(child.waitForFinished(20000));
        const QList<QByteArray> output = child.readAllStandardOutput().split('\x1e');
        QCOMPARE(output.size(), 3);
        QTEST(output[0], "seen");
        // The restarted process keeps its name, and what it starts gets the user's environment.
        const QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        QCOMPARE(QString::fromLocal8Bit(output[1]), name.left(15));
        QStringList handedOn = QString::fromLocal8Bit(output[2]).split(u'\x1f');
        QStringList handedOver = environment.toStringList();
        handedOn.sort();
        handedOver.sort();
        QCOMPARE(handedOn, handedOver);
        // The arguments survive the restart: the child echoes the second one.
        QCOMPARE(child.readAllStandardError().contains("second argument"), true);
    }
};

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], childArgument) == 0) {
        useHugePageHeap(argv);
        QByteArrayList environment;
        for (char **entry = environ; *entry; ++entry)
            environment.append(*entry);
        std::fputs(QByteArray(startingTunables() + '\x1e' + processName() + '\x1e' +
                              environment.join('\x1f'))
                       .constData(),
                   stdout);
        std::fputs(argv[2], stderr);
        return 0;
    }
    QCoreApplication application(argc, argv);
    TestHugePageHeap test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hugepageheap.moc"
