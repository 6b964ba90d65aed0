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

// A file that does not open is untouched.
TextFileWrite writeInPlace(const QByteArray &bytes, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {reasonOf(file), false};
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

bool hasSeveralLinks(const std::optional<FileStatus> &target)
{
    return target && target->st_nlink > 1;
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
    // Unbuffered, so that every write reaches the file here: a buffered one that fell short
    // would only come out in commit(), which keeps what it got and reports success. Whatever
    // keeps the temporary file from being made (no write permission on the folder, an
    // immutable folder, a full directory), an existing file that opens for writing is written
    // in place: Qt's own fallback covers a denied permission only.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return info.isFile() ? writeInPlace(bytes, path) : TextFileWrite{reasonOf(file)};
    if (!takeOwnerAndGroup(file, target)) {
        file.cancelWriting();
        file.commit();
        return writeInPlace(bytes, path);
    }
    const QString failure = writeAll(file, bytes);
    if (!failure.isEmpty())
        file.cancelWriting();
    if (!file.commit() && failure.isEmpty())
        return {reasonOf(file)};
    return {failure};
}
