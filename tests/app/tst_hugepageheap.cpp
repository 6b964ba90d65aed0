#include "app/HugePageHeap.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <cstdio>
#include <cstdlib>

namespace {
// Started with this argument, the program restarts itself as the real one does and prints the
// tunables it ended up with.
const char *const childArgument = "--print-tunables";
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
        // The arguments survive the restart: the child echoes the second one.
        QTEST(child.readAllStandardOutput(), "seen");
        QCOMPARE(child.readAllStandardError().contains("second argument"), true);
    }
};

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], childArgument) == 0) {
        useHugePageHeap(argv);
        const char *tunables = std::getenv("GLIBC_TUNABLES");
        std::fputs(tunables ? tunables : "", stdout);
        std::fputs(argv[2], stderr);
        return 0;
    }
    QCoreApplication application(argc, argv);
    TestHugePageHeap test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hugepageheap.moc"
