#pragma once

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

    QString text;
    Problem problem = Problem::None;
    // The file's size in bytes as far as it was seen.
    qint64 size = 0;
    // The system's reason when the file could not be opened or read.
    QString error;
};

// Reads and decodes the whole file at path (see TextEncoding::decode), refusing one of more
// than maxBytes bytes without reading past that.
TextFileContent readTextFile(const QString &path, qint64 maxBytes);
