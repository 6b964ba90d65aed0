#pragma once

#include <QImage>
#include <QPoint>
#include <QString>
#include <optional>

// A pointer picture as a Windows cursor file holds it: the picture and the pixel of it that
// marks the pointer's position.
struct CursorPicture
{
    QImage image;
    QPoint hotSpot;
};

// Reads the first picture of a Windows cursor file (".cur") with its hot spot. Returns
// nothing when the file cannot be read or is no usable cursor, and then says why in *error,
// as a phrase that completes "... because".
std::optional<CursorPicture> readCursorFile(const QString &path, QString *error);

// The same for the file's bytes.
std::optional<CursorPicture> decodeCursorFile(const QByteArray &bytes, QString *error);
