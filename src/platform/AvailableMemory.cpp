#include "platform/AvailableMemory.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

#ifdef Q_OS_LINUX
// The first number in a small file of the kernel's, or nothing.
std::optional<qint64> numberIn(const QString &path, QByteArrayView after = {})
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray content = file.read(64 * 1024);
    const qsizetype at = after.isEmpty() ? 0 : content.indexOf(after);
    if (at < 0)
        return std::nullopt;
    bool ok = false;
    const qint64 number =
        content.mid(at + after.size()).trimmed().split(' ').value(0).trimmed().toLongLong(&ok);
    return ok ? std::optional(number) : std::nullopt;
}
#endif

} // namespace

std::optional<qint64> availableMemory()
{
#if defined(Q_OS_LINUX)
    std::optional<qint64> available;
    if (const std::optional<qint64> kilobytes =
            numberIn(QStringLiteral("/proc/meminfo"), "MemAvailable:"))
        available = *kilobytes * 1024;
    // A control group's limit ("max" when there is none) binds the program too.
    const std::optional<qint64> limit = numberIn(QStringLiteral("/sys/fs/cgroup/memory.max"));
    const std::optional<qint64> used = numberIn(QStringLiteral("/sys/fs/cgroup/memory.current"));
    if (limit && used) {
        const qint64 room = qMax<qint64>(*limit - *used, 0);
        available = available ? qMin(*available, room) : room;
    }
    return available;
#elif defined(Q_OS_WIN)
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status))
        return std::nullopt;
    return qint64(status.ullAvailPhys);
#else
    return std::nullopt;
#endif
}
