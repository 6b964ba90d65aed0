#pragma once

#include "wordcompare/SourcePanes.h"

#include <QFile>
#include <QStringList>

// Two source panes held as strings. Saving writes the text and CR LF as UTF-8, the save buttons'
// format on a UTF-8 system, and records the path; saving to a file named failingName fails.
class FakeSourcePanes : public SourcePanes
{
public:
    FakeSourcePanes(QString text1, QString text2) : texts{std::move(text1), std::move(text2)} {}

    QString text(int side) const override { return texts[side - 1]; }
    bool save(int side, const QString &path) override
    {
        savedPaths.append(path);
        QFile file(path);
        return (failingName.isEmpty() || !path.endsWith(failingName)) &&
               file.open(QIODevice::WriteOnly) &&
               file.write((texts[side - 1] + QStringLiteral("\r\n")).toUtf8()) >= 0;
    }

    QString texts[2];
    QString failingName;
    QStringList savedPaths;
};
