#pragma once

#include <QByteArray>
#include <QString>
#include <QStringConverter>

// How the bytes of a text file become a pane's UTF-8 text and back.
namespace TextEncoding {

// The text of a file's bytes, as UTF-8. A UTF-8 or UTF-16 byte-order mark decides, and is
// dropped; otherwise valid UTF-8 is UTF-8, and comes back as it is without a copy; otherwise the
// bytes are in the 8-bit codePage. System stands for the system's own code page, or for
// Windows-1252 where the system's own is UTF-8, which is what single-byte text files from
// Windows are written in.
QByteArray toUtf8(const QByteArray &bytes,
                  QStringConverter::Encoding codePage = QStringConverter::System);

QString decodeWindows1252(const QByteArray &bytes);

// The UTF-8 text in codePage, or in UTF-8 when the bytes in codePage would not load back as the
// text (toUtf8 with codePage), so that saving never loses or changes a character. A text that
// starts with U+FEFF gets a byte-order mark in UTF-8, so that loading keeps that character.
QByteArray encode(const QByteArray &utf8,
                  QStringConverter::Encoding codePage = QStringConverter::System);

} // namespace TextEncoding
