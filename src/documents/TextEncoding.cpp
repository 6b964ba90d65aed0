#include "documents/TextEncoding.h"

#include <array>

namespace TextEncoding {

namespace {

bool startsWith(const QByteArray &bytes, std::initializer_list<unsigned char> mark)
{
    if (bytes.size() < qsizetype(mark.size()))
        return false;
    qsizetype i = 0;
    for (unsigned char byte : mark)
        if (static_cast<unsigned char>(bytes[i++]) != byte)
            return false;
    return true;
}

QString decodeWith(QStringConverter::Encoding encoding, QByteArrayView bytes, bool *valid)
{
    // Stateless, so that a sequence cut off at the end counts as an error too. The decoder
    // drops a leading byte-order mark of its own encoding.
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (valid)
        *valid = !decoder.hasError();
    return text;
}

// A surrogate out of its pair, which UTF-16 decodes to as it stands, becomes the replacement
// character, as an invalid UTF-8 sequence does; QString::toUtf8() would make it a question mark.
QByteArray utf8Of(const QString &text)
{
    QStringEncoder encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

bool systemIsUtf8()
{
    static const bool utf8 = [] {
        QStringEncoder encoder(QStringConverter::System);
        return QByteArray(encoder.encode(QStringView(u"\u00e9\u20ac"))) ==
               QByteArray("\xc3\xa9\xe2\x82\xac");
    }();
    return utf8;
}

// Windows-1252 differs from Latin-1 only in 0x80-0x9F; the five bytes it leaves undefined
// keep their Latin-1 meaning, as Windows itself decodes them.
constexpr std::array<char16_t, 32> windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeAnsi(const QByteArray &bytes, QStringConverter::Encoding codePage)
{
    if (codePage == QStringConverter::System && systemIsUtf8())
        return decodeWindows1252(bytes);
    // Windows' conversion drops a NUL at the very end, which would hide a binary file's last
    // byte from the check for NUL characters; the NULs at the end are kept here instead.
    qsizetype end = bytes.size();
    while (end > 0 && bytes[end - 1] == '\0')
        --end;
    QString text = decodeWith(codePage, QByteArrayView(bytes).first(end), nullptr);
    text.resize(text.size() + (bytes.size() - end), QChar());
    return text;
}

} // namespace

QByteArray toUtf8(const QByteArray &bytes, QStringConverter::Encoding codePage)
{
    if (startsWith(bytes, {0xEF, 0xBB, 0xBF})) {
        QByteArray text = bytes.sliced(3);
        // Invalid sequences after the mark become replacement characters.
        return text.isValidUtf8() ? text
                                  : decodeWith(QStringConverter::Utf8, text, nullptr).toUtf8();
    }
    if (startsWith(bytes, {0xFF, 0xFE}))
        return utf8Of(decodeWith(QStringConverter::Utf16LE, bytes, nullptr));
    if (startsWith(bytes, {0xFE, 0xFF}))
        return utf8Of(decodeWith(QStringConverter::Utf16BE, bytes, nullptr));
    if (bytes.isValidUtf8())
        return bytes;
    return decodeAnsi(bytes, codePage).toUtf8();
}

QString decodeWindows1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        *out++ = (code >= 0x80 && code < 0xA0) ? QChar(windows1252High[code - 0x80])
                                               : QChar(char16_t(code));
    }
    return text;
}

QByteArray encode(const QByteArray &utf8, QStringConverter::Encoding codePage)
{
    // Loading takes a leading U+FEFF for a byte-order mark and drops it; a mark of its own
    // keeps it.
    static const QByteArray mark("\xEF\xBB\xBF");
    const QByteArray asUtf8 = utf8.startsWith(mark) ? mark + utf8 : utf8;
    if (codePage == QStringConverter::Utf8 ||
        (codePage == QStringConverter::System && systemIsUtf8()))
        return asUtf8;
    const QString text = QString::fromUtf8(utf8);
    QStringEncoder encoder(codePage);
    QByteArray bytes = encoder.encode(text);
    // Code pages put a substitute in place of a character they lack, not always saying so, and
    // the bytes of some texts read as UTF-8 or begin like a byte-order mark: loading them again
    // shows whether the text comes back.
    if (!encoder.hasError() && toUtf8(bytes, codePage) == utf8)
        return bytes;
    return asUtf8;
}

} // namespace TextEncoding
