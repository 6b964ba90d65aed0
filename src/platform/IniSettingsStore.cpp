#include "platform/IniSettingsStore.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

IniSettingsStore::IniSettingsStore(QString folder) : folder_(std::move(folder)) {}

QString IniSettingsStore::userFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString IniSettingsStore::filePath(const QString &application) const
{
    return QDir(folder_).filePath(application + QStringLiteral(".ini"));
}

QString IniSettingsStore::read(const QString &application, const QString &section,
                               const QString &key, const QString &defaultValue) const
{
    QSettings settings(filePath(application), QSettings::IniFormat);
    const QVariant value = settings.value(section + QLatin1Char('/') + key);
    // A hand-edited entry that QSettings reads as anything but text (a list, or bytes, a number
    // or a date written as "@ByteArray(...)", "@Variant(...)" and the like) is not what the user
    // typed; treat it as missing.
    if (value.typeId() != QMetaType::QString)
        return defaultValue;
    return value.toString();
}

bool IniSettingsStore::write(const QString &application, const QString &section, const QString &key,
                             const QString &value)
{
    if (!QDir().mkpath(folder_)) {
        lastError_ = QStringLiteral("The folder %1 could not be created.").arg(folder_);
        return false;
    }
    QSettings settings(filePath(application), QSettings::IniFormat);
    settings.setValue(section + QLatin1Char('/') + key, value);
    settings.sync();
    switch (settings.status()) {
    case QSettings::NoError:
        lastError_.clear();
        return true;
    case QSettings::AccessError:
        lastError_ = QStringLiteral("%1 could not be written.")
                         .arg(QDir::toNativeSeparators(filePath(application)));
        return false;
    case QSettings::FormatError:
        lastError_ = QStringLiteral("%1 is not a valid settings file.")
                         .arg(QDir::toNativeSeparators(filePath(application)));
        return false;
    }
    return false;
}
