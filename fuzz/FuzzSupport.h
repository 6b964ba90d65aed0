#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Helpers shared by the libFuzzer harnesses.

// Ends the run when a property does not hold. libFuzzer takes the abort for a crash and keeps
// the input that caused it.
[[noreturn]] inline void fail(const char *property, const QByteArray &detail)
{
    std::fprintf(stderr, "\nProperty does not hold: %s\n%s\n", property, detail.constData());
    std::abort();
}

inline void require(bool holds, const char *property, const QByteArray &detail = {})
{
    if (!holds)
        fail(property, detail);
}

inline QByteArray inputBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// The input as the whole content of the file at path.
inline void writeInput(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    require(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(),
            "the input is written to a file");
}

// The input cut at NUL bytes into count texts, those missing empty and those beyond dropped.
// Texts from files never hold NUL (such a file is binary), so NUL is free to part them.
inline QList<QByteArray> inputTexts(const QByteArray &input, int count)
{
    QList<QByteArray> texts = input.split('\0');
    texts.resize(count);
    return texts;
}

// Bytes with their control characters and non-ASCII bytes escaped, for messages.
inline QByteArray visible(const QByteArray &bytes)
{
    QByteArray shown;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && byte != '\\')
            shown += c;
        else
            shown += "\\x" + QByteArray::number(byte, 16).rightJustified(2, '0');
    }
    return '"' + shown + '"';
}
