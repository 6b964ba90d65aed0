#include "pane/LineBreaks.h"

namespace LineBreaks {

QString toCrLf(QStringView documentText)
{
    const qsizetype separators = documentText.count(QChar::ParagraphSeparator);
    QString result(documentText.size() + separators, Qt::Uninitialized);
    QChar *out = result.data();
    for (const QChar c : documentText) {
        if (c == QChar::ParagraphSeparator) {
            *out++ = u'\r';
            *out++ = u'\n';
        } else {
            *out++ = c;
        }
    }
    return result;
}

QString toLf(QStringView text)
{
    QString result(text.size(), Qt::Uninitialized);
    QChar *out = result.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            *out++ = u'\n';
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            *out++ = c;
        }
    }
    result.truncate(out - result.constData());
    return result;
}

} // namespace LineBreaks
