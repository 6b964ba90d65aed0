#include "FuzzSupport.h"
#include "PaneTextReference.h"
#include "pane/Utf8Text.h"

// The pane's line-break conversion on any bytes against the reference's conversion, which
// touches nothing but CR and LF, so that Latin-1 carries every byte through it unchanged.

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = inputBytes(data, size);
    const QString expected = PaneTextReference(QString::fromLatin1(bytes)).text;
    const Utf8Text::CrLfText converted = Utf8Text::toCrLf(bytes);
    require(converted.bytes == expected.toLatin1(), "CR LF, lone CR and lone LF each become CR LF",
            visible(converted.bytes));

    // The first of the longest lines, found line by line without copying them.
    qsizetype longest = 0;
    qsizetype longestLength = -1;
    qsizetype line = 0;
    for (qsizetype start = 0;; ++line) {
        const qsizetype end = expected.indexOf(QLatin1String("\r\n"), start);
        const qsizetype length = (end < 0 ? expected.size() : end) - start;
        if (length > longestLength) {
            longest = line;
            longestLength = length;
        }
        if (end < 0)
            break;
        start = end + 2;
    }
    require(converted.longestLine == longest && converted.longestLength == longestLength,
            "the first of the longest lines");
    return 0;
}
