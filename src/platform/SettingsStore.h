#pragma once

#include <QString>

// The per-user store of the program's choices: text values under an application, a section
// and a key.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;

    virtual QString read(const QString &application, const QString &section, const QString &key,
                         const QString &defaultValue) const = 0;
    // Stores the value at once. Returns false, with a reason in lastError(), when it could not.
    virtual bool write(const QString &application, const QString &section, const QString &key,
                       const QString &value) = 0;
    virtual QString lastError() const = 0;
};
