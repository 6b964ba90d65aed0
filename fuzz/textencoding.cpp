#include "documents/TextEncoding.h"
#include "FuzzSupport.h"
#include "documents/ReadTextFile.h"

#include <QStringDecoder>
#include <QTemporaryDir>

// A file's bytes decoded into text: byte-order marks, UTF-8 validity, the 8-bit fallback and NUL
// detection against plain decodings, and every decoded text saved and loaded again unchanged.

namespace {

bool startsWith(const QByteArray &bytes, const char *mark)
{
    return bytes.startsWith(QByteArrayView(mark));
}

// UTF-16 decoded unit by unit: a surrogate out of its pair and an odd last byte each become the
// replacement character.
QString referenceUtf16(QByteArrayView bytes, bool bigEndian)
{
    QList<char16_t> units;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        units.append(char16_t(bigEndian ? first << 8 | second : second << 8 | first));
    }
    QString text;
    for (qsizetype i = 0; i < units.size(); ++i) {
        if (QChar::isHighSurrogate(units[i]) && i + 1 < units.size() &&
            QChar::isLowSurrogate(units[i + 1])) {
            text += QChar(units[i]);
            text += QChar(units[++i]);
        } else {
            text +=
                QChar::isSurrogate(units[i]) ? QChar(QChar::ReplacementCharacter) : QChar(units[i]);
        }
    }
    if (bytes.size() % 2)
        text += QChar(QChar::ReplacementCharacter);
    return text;
}

// What the loader should make of the bytes, as far as a plain decoding tells.
void checkDecoding(const QByteArray &bytes, const QByteArray &utf8)
{
    require(utf8.isValidUtf8(), "a decoded text is valid UTF-8", visible(utf8));
    if (startsWith(bytes, "\xEF\xBB\xBF")) {
        const QByteArray rest = bytes.sliced(3);
        require(rest.isValidUtf8() ? utf8 == rest : utf8.contains("\xEF\xBF\xBD"),
                "after a UTF-8 mark, UTF-8 with replacement characters", visible(utf8));
    } else if (startsWith(bytes, "\xFF\xFE") || startsWith(bytes, "\xFE\xFF")) {
        const bool bigEndian = bytes[0] == '\xFE';
        require(utf8 == referenceUtf16(bytes.sliced(2), bigEndian).toUtf8(),
                "after a UTF-16 mark, UTF-16", visible(utf8));
    } else if (bytes.isValidUtf8()) {
        require(utf8 == bytes, "valid UTF-8 as it is", visible(utf8));
    } else {
        static QStringDecoder windows1252("windows-1252", QStringConverter::Flag::Stateless);
        require(windows1252.isValid(), "a Windows-1252 decoder");
        require(utf8 == QString(windows1252.decode(bytes)).toUtf8(), "other bytes in Windows-1252",
                visible(utf8));
    }
}

// The loader refuses a text with NUL characters and reads any other as decoded.
void checkReading(const QByteArray &bytes, const QByteArray &utf8)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("text.txt"));
    writeInput(path, bytes);
    const TextFileContent content = readTextFile(path, 1 << 20);
    require(content.size == bytes.size(), "the size read is the file's");
    if (utf8.contains('\0'))
        require(content.problem == TextFileContent::Problem::Binary, "NUL makes a file binary");
    else
        require(content.problem == TextFileContent::Problem::None && content.utf8 == utf8,
                "a file without NUL reads as its decoded text");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = inputBytes(data, size);
    const QByteArray utf8 = TextEncoding::toUtf8(bytes);
    checkDecoding(bytes, utf8);
    checkReading(bytes, utf8);
    // Saved in the system's code page (UTF-8 here) or in an 8-bit one, as on Windows, a text
    // loads back as it was.
    for (const auto codePage : {QStringConverter::System, QStringConverter::Latin1}) {
        const QByteArray saved = TextEncoding::encode(utf8, codePage);
        require(TextEncoding::toUtf8(saved, codePage) == utf8, "a saved text loads back unchanged",
                visible(utf8) + " saved as " + visible(saved));
    }
    return 0;
}
