#pragma once

#include <QByteArray>
#include <QString>
#include <QStringConverter>

// How the bytes of a text file become a pane's characters and back.
namespace TextEncoding {

// A UTF-8 or UTF-16 byte-order mark decides, and is dropped; otherwise valid UTF-8 is UTF-8;
// otherwise the bytes are in the system's 8-bit code page, or in Windows-1252 where the system's
// own is UTF-8, which is what single-byte text files from Windows are written in.
QString decode(const QByteArray &bytes);

QString decodeWindows1252(const QByteArray &bytes);

// The text in codePage, or in UTF-8 when codePage cannot represent every character of it, so
// that saving never loses a character.
QByteArray encode(const QString &text,
                  QStringConverter::Encoding codePage = QStringConverter::System);

} // namespace TextEncoding
