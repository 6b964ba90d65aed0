#pragma once

#include "platform/SettingsStore.h"

#include <QList>
#include <QMap>

// Settings held in memory, with every write recorded in order.
class FakeSettingsStore : public SettingsStore
{
public:
    struct Write
    {
        QString key;
        QString value;
        friend bool operator==(const Write &, const Write &) = default;
    };

    QString read(const QString &application, const QString &section, const QString &key,
                 const QString &defaultValue) const override
    {
        return values.value(application + u'/' + section + u'/' + key, defaultValue);
    }

    bool write(const QString &application, const QString &section, const QString &key,
               const QString &value) override
    {
        if (failWrites)
            return false;
        values.insert(application + u'/' + section + u'/' + key, value);
        writes.append({key, value});
        return true;
    }

    QString lastError() const override
    {
        return failWrites ? QStringLiteral("disk full") : QString();
    }

    // Stores a value under the program's own application and section.
    void preset(const QString &key, const QString &value)
    {
        values.insert(QStringLiteral("Quenlow/Parvenex/") + key, value);
    }
    QString stored(const QString &key) const
    {
        return values.value(QStringLiteral("Quenlow/Parvenex/") + key);
    }

    QMap<QString, QString> values;
    QList<Write> writes;
    bool failWrites = false;
};
