#pragma once

#include <QString>
#include <QStringView>

// Line-break conversions between the pane's CR LF text and its document. Each is one pass over
// the text, so multi-megabyte texts convert in linear time.
namespace LineBreaks {

// Every paragraph separator of a document's raw text becomes CR LF.
QString toCrLf(QStringView documentText);
// CR LF, a lone CR and a lone LF each become one LF.
QString toLf(QStringView text);

} // namespace LineBreaks
