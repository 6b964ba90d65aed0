#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>

// Encodes one picture as a Windows cursor file: a directory with a single entry that carries
// the hot spot, then the picture as a 32-bit device-independent bitmap with its transparency
// mask, the form every version of Windows reads. Pictures up to 256 x 256 pixels.
QByteArray encodeCursorFile(const QImage &picture, QPoint hotSpot);
