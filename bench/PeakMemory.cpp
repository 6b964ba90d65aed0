#include "PeakMemory.h"

#include <QFile>
#include <malloc.h>

namespace {
qint64 statusKb(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').front().toLongLong();
    }
    return -1;
}
} // namespace

PeakMemory::PeakMemory()
{
    malloc_trim(0);
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    // Writing 5 resets the peak resident size to the current one.
    if (!clearRefs.open(QIODevice::WriteOnly) || clearRefs.write("5") != 1)
        return;
    clearRefs.close();
    startKb_ = statusKb("VmRSS:");
}

qint64 PeakMemory::increaseBytes() const
{
    return (statusKb("VmHWM:") - startKb_) * 1024;
}
