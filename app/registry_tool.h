// Whether an application's stored settings exist, and their removal.
//
// Over QSettings' native user store: on Linux an application's settings are
// the file <config>/<company>/<application>.conf, so a "key" is that file
// (and a folder of the same name, should one exist) and the company "key" is
// the folder that holds it.  Removing an application's settings removes the
// company folder too when nothing else is left in it, so another
// application of the same company keeps it.
#pragma once

#include <QString>

namespace ruv {

class RegistryTool {
public:
    // Whether the application's settings exist.
    bool KeyExists(const QString& company, const QString& application) const;
    // Removes name's settings file and folder below the folder parent; true
    // when there was something to remove.
    bool DeleteKeyTree(const QString& parent, const QString& name) const;
    // Removes the application's settings, then the company folder when it is
    // empty; false when the application had no settings.
    bool DeleteSettingsKey(const QString& company, const QString& application) const;

    // The file that holds the application's settings.
    static QString SettingsFile(const QString& company, const QString& application);
};

}  // namespace ruv
