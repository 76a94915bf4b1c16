// Tests keep the tool's remembered choices (user-scope QSettings) in a folder of their own,
// never in the user's configuration.
#pragma once

#include <QSettings>
#include <QString>

inline void UseSettingsFolder(const QString &path)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, path);
}
