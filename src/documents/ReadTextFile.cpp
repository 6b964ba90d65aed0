#include "documents/ReadTextFile.h"

#include "documents/TextEncoding.h"

#include <QFile>
#include <QFileInfo>

namespace {

TextFileContent problem(TextFileContent::Problem problem, qint64 size, QString error = {})
{
    return {QByteArray(), problem, size, std::move(error)};
}

} // namespace

TextFileContent readTextFile(const QString &path, qint64 maxBytes)
{
    using Problem = TextFileContent::Problem;
    maxBytes = qMax<qint64>(maxBytes, 0);
    const QFileInfo info(path);
    if (info.isDir())
        return problem(Problem::Folder, 0);
    if (info.exists() && !info.isFile())
        return problem(Problem::NotOrdinaryFile, 0);
    const qint64 statedSize = info.size();
    if (statedSize > maxBytes)
        return problem(Problem::TooLarge, statedSize);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return problem(Problem::Unreadable, 0, file.errorString());
    // The stated size is only a hint: files under /proc state none, and a file may grow while
    // it is read. One byte more than expected shows the end without a second allocation.
    QByteArray bytes(qMin(statedSize, maxBytes) + 1, Qt::Uninitialized);
    qint64 got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > maxBytes)
                return problem(Problem::TooLarge, got);
            bytes.resize(qMin(qMax<qint64>(2 * got, 64 * 1024), maxBytes + 1));
        }
        const qint64 read = file.read(bytes.data() + got, bytes.size() - got);
        if (read < 0)
            return problem(Problem::Unreadable, got, file.errorString());
        if (read == 0)
            break;
        got += read;
    }
    if (got > maxBytes)
        return problem(Problem::TooLarge, got);
    bytes.truncate(got);

    QByteArray text = TextEncoding::toUtf8(bytes);
    bytes = QByteArray(); // the text may be the same bytes, held once
    if (text.size() > maxBytes)
        return problem(Problem::TooLarge, text.size());
    if (text.contains('\0'))
        return problem(Problem::Binary, got);
    return {std::move(text), Problem::None, got, QString()};
}
