#pragma once

#include <QByteArray>
#include <QString>

// How a write ended: why the file could not be written (empty when it now holds the text), and
// whether an existing file was written in place, where a failure may leave part of the text.
struct TextFileWrite
{
    QString failure;
    bool inPlace = false;
};

// Writes UTF-8 text to the file at path in the system's code page (UTF-8 when that cannot
// represent every character; see TextEncoding::encode). The text goes to a temporary file beside
// the target, which replaces the target only once everything is written, so a failed write leaves
// an existing file exactly as it was. The replacement takes the target's permissions, owner and
// group. An existing file is written in place instead, keeping what it is, when
// - it has more than one hard link, which a replacement would split from the others;
// - no temporary file can be made beside it, for whatever reason, but the file opens for writing;
// - the platform does not let the temporary file take the target's owner and group.
[[nodiscard]] TextFileWrite writeTextFile(const QByteArray &utf8, const QString &path);
