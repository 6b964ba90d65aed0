// Makes the hand pointer that ships with Parvenex.
//   cursortool draw <drawing.txt> <picture.png>   renders a character drawing as a picture
//   cursortool cur <picture.png> <x> <y> <file.cur>   wraps a picture and its hot spot as a cursor
// In a drawing, '#' is black, 'o' is white and '.' is transparent; every line is one row of
// pixels, and the picture is as wide as the longest line and as high as the drawing.
#include "CursorWriter.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QTextStream>

namespace {

int fail(const QString &message)
{
    QTextStream(stderr) << "cursortool: " << message << '\n';
    return 1;
}

int draw(const QString &drawingPath, const QString &picturePath)
{
    QFile drawing(drawingPath);
    if (!drawing.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(drawingPath + QStringLiteral(": ") + drawing.errorString());
    const QStringList rows = QString::fromUtf8(drawing.readAll()).split(u'\n', Qt::SkipEmptyParts);
    qsizetype width = 0;
    for (const QString &row : rows)
        width = std::max(width, row.size());
    if (rows.isEmpty() || width > 256 || rows.size() > 256)
        return fail(drawingPath + QStringLiteral(": a drawing has 1 to 256 rows and columns"));

    QImage picture(int(width), int(rows.size()), QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    for (int y = 0; y < rows.size(); ++y) {
        for (int x = 0; x < rows[y].size(); ++x) {
            switch (rows[y][x].unicode()) {
            case '#':
                picture.setPixel(x, y, qRgba(0, 0, 0, 255));
                break;
            case 'o':
                picture.setPixel(x, y, qRgba(255, 255, 255, 255));
                break;
            case '.':
                break;
            default:
                return fail(QStringLiteral("%1: unknown character in row %2, column %3")
                                .arg(drawingPath)
                                .arg(y + 1)
                                .arg(x + 1));
            }
        }
    }
    if (!picture.save(picturePath, "PNG"))
        return fail(picturePath + QStringLiteral(": cannot be written"));
    return 0;
}

int makeCursor(const QString &picturePath, const QString &x, const QString &y,
               const QString &cursorPath)
{
    const QImage picture(picturePath);
    if (picture.isNull())
        return fail(picturePath + QStringLiteral(": not a picture"));
    if (picture.width() > 256 || picture.height() > 256)
        return fail(picturePath + QStringLiteral(": larger than 256 x 256 pixels"));
    bool xOk = false;
    bool yOk = false;
    const QPoint hotSpot(x.toInt(&xOk), y.toInt(&yOk));
    if (!xOk || !yOk || !picture.rect().contains(hotSpot))
        return fail(QStringLiteral("the hot spot must lie inside the picture"));
    QFile cursor(cursorPath);
    if (!cursor.open(QIODevice::WriteOnly) ||
        cursor.write(encodeCursorFile(picture, hotSpot)) < 0 || !cursor.flush())
        return fail(cursorPath + QStringLiteral(": ") + cursor.errorString());
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments().mid(1);
    if (args.size() == 3 && args[0] == QLatin1String("draw"))
        return draw(args[1], args[2]);
    if (args.size() == 5 && args[0] == QLatin1String("cur"))
        return makeCursor(args[1], args[2], args[3], args[4]);
    return fail(QStringLiteral("usage: cursortool draw <drawing.txt> <picture.png> | "
                               "cursortool cur <picture.png> <x> <y> <file.cur>"));
}
