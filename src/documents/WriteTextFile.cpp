#include "documents/WriteTextFile.h"

#include "documents/TextEncoding.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {

QString reasonOf(const QSaveFile &file)
{
    const QString reason = file.errorString();
    return reason.isEmpty() ? QStringLiteral("unknown error") : reason;
}

} // namespace

QString writeTextFile(const QByteArray &utf8, const QString &path)
{
    const QFileInfo target(path);
    // Replacing the file would get past its write protection, which a plain write respects.
    if (target.isFile() && !target.isWritable())
        return QStringLiteral("the file is read-only");
    QSaveFile file(path);
    // Unbuffered, so that every write reaches the file here: a buffered one that fell short
    // would only come out in commit(), which keeps what it got and reports success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return reasonOf(file);
    // A short write (a full disk, a file size limit) is not an error to the file, which would
    // commit what it got; writing the rest shows the real failure, or gets it written.
    const QByteArray bytes = TextEncoding::encode(utf8);
    for (qint64 written = 0; written < bytes.size();) {
        const qint64 step = file.write(bytes.constData() + written, bytes.size() - written);
        if (step <= 0) {
            const QString reason = reasonOf(file);
            file.cancelWriting();
            return reason;
        }
        written += step;
    }
    if (!file.commit())
        return reasonOf(file);
    return QString();
}
