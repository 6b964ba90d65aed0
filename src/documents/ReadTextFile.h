#pragma once

#include <QByteArray>
#include <QString>

// The text of a file, or why it cannot go into a pane.
struct TextFileContent
{
    enum class Problem {
        None,
        Folder,
        NotOrdinaryFile, // a device, pipe or socket, which may never end or block forever
        TooLarge,
        Binary,     // holds NUL characters, so it is not text
        Unreadable, // see error
    };

    // The text as UTF-8 (see TextEncoding::toUtf8).
    QByteArray utf8;
    Problem problem = Problem::None;
    // The file's size in bytes as far as it was seen, or the size of its text as UTF-8 when
    // that is what made it too large.
    qint64 size = 0;
    // The system's reason when the file could not be opened or read.
    QString error;
};

// Reads and decodes the whole file at path, refusing one of more than maxBytes bytes, or whose
// text takes more than that as UTF-8, without reading past that.
TextFileContent readTextFile(const QString &path, qint64 maxBytes);
