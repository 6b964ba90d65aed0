#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Helpers for the pane's UTF-8 text with CR LF line breaks.
namespace Utf8Text {

// UTF-16 code units of the character a UTF-8 byte starts: two for a four-byte sequence (a
// surrogate pair), none for a continuation byte.
constexpr int codeUnits(char byte)
{
    const auto value = static_cast<unsigned char>(byte);
    return (value & 0xc0) == 0x80 ? 0 : value >= 0xf0 ? 2 : 1;
}

// UTF-16 code units of the characters whose first bytes are in text.
qsizetype utf16Units(QByteArrayView text);

struct CrLfText
{
    QByteArray bytes;
    // Number of the longest line in bytes, the first of equals, and its length.
    qsizetype longestLine = 0;
    qsizetype longestLength = 0;
};

// CR LF, a lone CR and a lone LF each become CR LF. Text that already has only CR LF breaks is
// returned as it is, without a copy.
CrLfText toCrLf(QByteArray text);

} // namespace Utf8Text
