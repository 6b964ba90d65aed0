#pragma once

#include "ComparisonReference.h"
#include "FuzzSupport.h"

#include <QStringList>

// The texts of a comparison harness, as the engines see them (bytes) and as the references see
// them. When every text is valid UTF-8 the references get the decoded texts; otherwise all are
// raw, one character per byte.
struct ComparisonInput
{
    QList<QByteArray> bytes;
    QStringList texts;
    bool raw = false;

    ComparisonInput(const uint8_t *data, size_t size, int count)
        : bytes(inputTexts(inputBytes(data, size), count))
    {
        for (const QByteArray &text : bytes)
            raw = raw || QString::fromUtf8(text).toUtf8() != text;
        for (const QByteArray &text : bytes)
            texts.append(raw ? QString::fromLatin1(text) : QString::fromUtf8(text));
    }

    QByteArray describe() const
    {
        QByteArray description = raw ? "raw" : "UTF-8";
        for (const QByteArray &text : bytes)
            description += ' ' + visible(text);
        return description;
    }
};
