#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

// Makes folder the one QDir::tempPath() gives, where the platform looks for it.
inline void useTempFolder(const QString &folder)
{
#ifdef Q_OS_WIN
    qputenv("TMP", QDir::toNativeSeparators(folder).toLocal8Bit());
#else
    qputenv("TMPDIR", QFile::encodeName(folder));
#endif
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The reason the system gives, in Qt's words, for not opening path so: "No such file or directory"
// on Linux is "The system cannot find the file specified." on Windows.
inline QString openError(const QString &path, QIODevice::OpenMode mode = QIODevice::ReadOnly)
{
    QFile file(path);
    return file.open(mode) ? QString() : file.errorString();
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}
