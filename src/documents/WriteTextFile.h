#pragma once

#include <QByteArray>
#include <QString>

// Writes UTF-8 text to the file at path in the system's code page (UTF-8 when that cannot
// represent every character; see TextEncoding::encode). The text goes to a temporary file beside
// the target, which replaces the target only once everything is written, so a failed write leaves
// an existing file exactly as it was. Returns why the file could not be written, or an empty
// string when it now holds the text.
[[nodiscard]] QString writeTextFile(const QByteArray &utf8, const QString &path);
