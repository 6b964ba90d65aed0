#include "CursorWriter.h"

#include <QtEndian>

namespace {

void append16(QByteArray &out, quint16 value)
{
    const quint16 little = qToLittleEndian(value);
    out.append(reinterpret_cast<const char *>(&little), sizeof little);
}

void append32(QByteArray &out, quint32 value)
{
    const quint32 little = qToLittleEndian(value);
    out.append(reinterpret_cast<const char *>(&little), sizeof little);
}

constexpr int directorySize = 6 + 16;
constexpr int bitmapHeaderSize = 40;

} // namespace

QByteArray encodeCursorFile(const QImage &picture, QPoint hotSpot)
{
    Q_ASSERT(picture.width() >= 1 && picture.width() <= 256);
    Q_ASSERT(picture.height() >= 1 && picture.height() <= 256);
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const int width = image.width();
    const int height = image.height();
    // Mask rows are padded to whole 32-bit words.
    const int maskRowBytes = (width + 31) / 32 * 4;
    const quint32 bitmapSize = bitmapHeaderSize + width * height * 4 + maskRowBytes * height;

    QByteArray out;
    append16(out, 0); // reserved
    append16(out, 2); // a cursor, not an icon
    append16(out, 1); // one picture
    out.append(char(width == 256 ? 0 : width));
    out.append(char(height == 256 ? 0 : height));
    out.append(char(0)); // no palette
    out.append(char(0)); // reserved
    append16(out, quint16(hotSpot.x()));
    append16(out, quint16(hotSpot.y()));
    append32(out, bitmapSize);
    append32(out, directorySize);

    append32(out, bitmapHeaderSize);
    append32(out, quint32(width));
    append32(out, quint32(height * 2)); // colour rows and mask rows together
    append16(out, 1);                   // planes
    append16(out, 32);                  // bits per pixel
    append32(out, 0);                   // uncompressed
    append32(out, quint32(width * height * 4 + maskRowBytes * height));
    append32(out, 0);
    append32(out, 0);
    append32(out, 0);
    append32(out, 0);

    // Bitmaps are stored bottom row first.
    for (int y = height - 1; y >= 0; --y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            out.append(char(qBlue(row[x])));
            out.append(char(qGreen(row[x])));
            out.append(char(qRed(row[x])));
            out.append(char(qAlpha(row[x])));
        }
    }
    // The mask marks transparent pixels with a set bit, for readers that ignore the alpha.
    for (int y = height - 1; y >= 0; --y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        QByteArray bits(maskRowBytes, '\0');
        for (int x = 0; x < width; ++x) {
            if (qAlpha(row[x]) == 0)
                bits[x / 8] = char(bits[x / 8] | (0x80 >> (x % 8)));
        }
        out.append(bits);
    }
    return out;
}
