#pragma once

#include "wordprocessor/SourceTexts.h"

#include <QFile>
#include <QStringList>

// Two source texts held as strings. Saving writes the text and CR LF as UTF-8, the save buttons'
// format on a UTF-8 system, and records the path; saving to a file named failingName fails.
class FakeSourceTexts : public SourceTexts
{
public:
    FakeSourceTexts(QString text1, QString text2) : texts{std::move(text1), std::move(text2)} {}

    QString text(Side side) const override { return texts[int(side)]; }
    bool save(Side side, const QString &path) override
    {
        savedPaths.append(path);
        QFile file(path);
        return (failingName.isEmpty() || !path.endsWith(failingName)) &&
               file.open(QIODevice::WriteOnly) &&
               file.write((texts[int(side)] + QStringLiteral("\r\n")).toUtf8()) >= 0;
    }

    QString texts[2];
    QString failingName;
    QStringList savedPaths;
};
