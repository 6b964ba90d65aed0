#pragma once

#include "platform/SettingsStore.h"

// Settings kept in one INI file per application, each section a group of keys. Every write
// reaches the disk before it returns, so nothing is left to do at exit.
class IniSettingsStore : public SettingsStore
{
public:
    // Files live in folder, one "<application>.ini" per application.
    explicit IniSettingsStore(QString folder);
    // The user's own configuration folder.
    static QString userFolder();

    QString read(const QString &application, const QString &section, const QString &key,
                 const QString &defaultValue) const override;
    bool write(const QString &application, const QString &section, const QString &key,
               const QString &value) override;
    QString lastError() const override { return lastError_; }

    QString filePath(const QString &application) const;

private:
    QString folder_;
    QString lastError_;
};
