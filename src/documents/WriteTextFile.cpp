#include "documents/WriteTextFile.h"

#include "documents/TextEncoding.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

QString reasonOf(const QFileDevice &file)
{
    const QString reason = file.errorString();
    return reason.isEmpty() ? QStringLiteral("unknown error") : reason;
}

// A short write (a full disk, a file size limit) is not an error to the file, which would keep
// what it got; writing the rest shows the real failure, or gets it written. Returns the failure.
QString writeAll(QFileDevice &file, const QByteArray &bytes)
{
    for (qint64 written = 0; written < bytes.size();) {
        const qint64 step = file.write(bytes.constData() + written, bytes.size() - written);
        if (step <= 0)
            return reasonOf(file);
        written += step;
    }
    return QString();
}

TextFileWrite writeInPlace(const QByteArray &bytes, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {reasonOf(file), true};
    const QString failure = writeAll(file, bytes);
    return {failure, true};
}

#ifdef Q_OS_UNIX
using FileStatus = struct stat;

std::optional<FileStatus> statusOf(const QString &path)
{
    FileStatus status{};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return status;
}

std::optional<FileStatus> statusOf(int handle)
{
    FileStatus status{};
    if (::fstat(handle, &status) != 0)
        return std::nullopt;
    return status;
}

bool isSameFile(const FileStatus &one, const FileStatus &other)
{
    return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

bool hasSeveralLinks(const std::optional<FileStatus> &target)
{
    return target && target->st_nlink > 1;
}

// Qt writes in place when no temporary file can be made beside the target.
bool opensTarget(const QSaveFile &file, const std::optional<FileStatus> &target)
{
    const std::optional<FileStatus> opened = statusOf(file.handle());
    return target && opened && isSameFile(*opened, *target);
}

bool takeOwnerAndGroup(const QSaveFile &file, const std::optional<FileStatus> &target)
{
    const std::optional<FileStatus> opened = statusOf(file.handle());
    if (!target || !opened)
        return true;
    if (opened->st_uid == target->st_uid && opened->st_gid == target->st_gid)
        return true;
    return ::fchown(file.handle(), target->st_uid, target->st_gid) == 0;
}
#else
// Elsewhere only the permissions, which Qt keeps, travel with a replacement.
struct FileStatus
{
};

std::optional<FileStatus> statusOf(const QString &)
{
    return std::nullopt;
}

bool hasSeveralLinks(const std::optional<FileStatus> &)
{
    return false;
}

bool opensTarget(const QSaveFile &, const std::optional<FileStatus> &)
{
    return false;
}

bool takeOwnerAndGroup(const QSaveFile &, const std::optional<FileStatus> &)
{
    return true;
}
#endif

} // namespace

TextFileWrite writeTextFile(const QByteArray &utf8, const QString &path)
{
    const QFileInfo info(path);
    // Replacing the file would get past its write protection, which a plain write respects.
    if (info.isFile() && !info.isWritable())
        return {QStringLiteral("the file is read-only")};
    const QByteArray bytes = TextEncoding::encode(utf8);
    const std::optional<FileStatus> target = info.isFile() ? statusOf(path) : std::nullopt;
    if (hasSeveralLinks(target))
        return writeInPlace(bytes, path);

    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    // Unbuffered, so that every write reaches the file here: a buffered one that fell short
    // would only come out in commit(), which keeps what it got and reports success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {reasonOf(file)};
    const bool inPlace = opensTarget(file, target);
    if (!inPlace && !takeOwnerAndGroup(file, target)) {
        file.cancelWriting();
        file.commit();
        return writeInPlace(bytes, path);
    }
    const QString failure = writeAll(file, bytes);
    if (!failure.isEmpty())
        file.cancelWriting();
    // Committed even after a failure: a file written in place would be deleted by a QSaveFile
    // that goes without a commit, and a temporary one is dropped by either.
    if (!file.commit() && failure.isEmpty())
        return {reasonOf(file), inPlace};
    return {failure, inPlace};
}
