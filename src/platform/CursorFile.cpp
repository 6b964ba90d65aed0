#include "platform/CursorFile.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>

namespace {

// Far above any real cursor (a 256 x 256 picture takes about 270 KB), low enough that a
// wrong file of any size costs little to turn down.
constexpr qint64 largestCursorFile = 4 * 1024 * 1024;

// The directory: reserved word, type (2 for cursors), number of pictures; then one 16-byte
// entry per picture, whose hot spot sits where icon files keep planes and bit count.
constexpr qsizetype directoryHeaderSize = 6;
constexpr qsizetype directoryEntrySize = 16;

quint16 word(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 doubleWord(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

std::nullopt_t failure(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return std::nullopt;
}

} // namespace

std::optional<CursorPicture> decodeCursorFile(const QByteArray &bytes, QString *error)
{
    if (bytes.size() < directoryHeaderSize + directoryEntrySize || word(bytes, 0) != 0 ||
        word(bytes, 2) != 2 || word(bytes, 4) == 0)
        return failure(error, QStringLiteral("it is not a Windows cursor file"));
    const quint16 pictures = word(bytes, 4);
    if (bytes.size() < directoryHeaderSize + pictures * directoryEntrySize)
        return failure(error, QStringLiteral("it is cut short"));

    const qsizetype entry = directoryHeaderSize;
    const QPoint hotSpot(word(bytes, entry + 4), word(bytes, entry + 6));
    const quint32 pictureSize = doubleWord(bytes, entry + 8);
    const quint32 pictureOffset = doubleWord(bytes, entry + 12);
    if (pictureSize == 0 || pictureOffset > quint64(bytes.size()) ||
        pictureSize > quint64(bytes.size()) - pictureOffset)
        return failure(error, QStringLiteral("it is cut short"));

    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "cur");
    QImage image = reader.read();
    if (image.isNull())
        return failure(error, QStringLiteral("its picture cannot be read"));
    if (!image.rect().contains(hotSpot))
        return failure(error, QStringLiteral("its hot spot (%1, %2) lies outside its %3 x %4 "
                                             "picture")
                                  .arg(hotSpot.x())
                                  .arg(hotSpot.y())
                                  .arg(image.width())
                                  .arg(image.height()));
    return CursorPicture{std::move(image), hotSpot};
}

std::optional<CursorPicture> readCursorFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(error, QStringLiteral("it cannot be read (%1)").arg(file.errorString()));
    const QByteArray bytes = file.read(largestCursorFile + 1);
    if (file.error() != QFileDevice::NoError)
        return failure(error, QStringLiteral("it cannot be read (%1)").arg(file.errorString()));
    if (bytes.size() > largestCursorFile)
        return failure(error, QStringLiteral("it is far too large for a cursor file"));
    return decodeCursorFile(bytes, error);
}
