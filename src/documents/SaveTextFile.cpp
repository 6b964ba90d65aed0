#include "documents/SaveTextFile.h"

#include "documents/TextEncoding.h"

#include <QFileInfo>
#include <QSaveFile>

bool saveTextFile(const QString &text, const QString &path, QString *error)
{
    const QFileInfo target(path);
    // Replacing the file would get past its write protection, which a plain write respects.
    if (target.isFile() && !target.isWritable()) {
        *error = QStringLiteral("the file is read-only");
        return false;
    }
    QSaveFile file(path);
    // Unbuffered, so that every write reaches the file here: a buffered one that fell short
    // would only come out in commit(), which keeps what it got and reports success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *error = file.errorString();
        return false;
    }
    // A short write (a full disk, a file size limit) is not an error to the file, which would
    // commit what it got; writing the rest shows the real failure, or gets it written.
    const QByteArray bytes = TextEncoding::encode(text);
    for (qint64 written = 0; written < bytes.size();) {
        const qint64 step = file.write(bytes.constData() + written, bytes.size() - written);
        if (step <= 0) {
            *error = file.errorString();
            file.cancelWriting();
            return false;
        }
        written += step;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
