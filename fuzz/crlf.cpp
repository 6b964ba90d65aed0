#include "FuzzSupport.h"
#include "PaneTextReference.h"
#include "pane/Utf8Text.h"

#include <QStringList>

// The pane's line-break conversion on any bytes against the reference's conversion, which
// touches nothing but CR and LF, so that Latin-1 carries every byte through it unchanged.

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = inputBytes(data, size);
    const QString expected = PaneTextReference(QString::fromLatin1(bytes)).text;
    const Utf8Text::CrLfText converted = Utf8Text::toCrLf(bytes);
    require(converted.bytes == expected.toLatin1(), "CR LF, lone CR and lone LF each become CR LF",
            visible(converted.bytes));

    const QStringList lines = expected.split(QStringLiteral("\r\n"));
    qsizetype longest = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].size() > lines[longest].size())
            longest = i;
    }
    require(converted.longestLine == longest && converted.longestLength == lines[longest].size(),
            "the first of the longest lines");
    return 0;
}
