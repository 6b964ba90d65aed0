#pragma once

#include <QString>

// Writes text to the file at path in the system's code page (UTF-8 when that cannot represent
// every character; see TextEncoding::encode). The text goes to a temporary file beside the
// target, which replaces the target only once everything is written, so a failed save leaves
// an existing file exactly as it was. Returns false, with the reason in *error, on failure.
bool saveTextFile(const QString &text, const QString &path, QString *error);
