#include "app/registry_tool.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace ruv {

QString RegistryTool::SettingsFile(const QString& company, const QString& application) {
    // Only the path is asked for: constructing QSettings reads, never writes.
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, company, application)
        .fileName();
}

bool RegistryTool::KeyExists(const QString& company, const QString& application) const {
    return QFileInfo::exists(SettingsFile(company, application));
}

bool RegistryTool::DeleteKeyTree(const QString& parent, const QString& name) const {
    const QDir folder(parent);
    bool found = false;
    const QString file = folder.filePath(name + QStringLiteral(".conf"));
    if (QFileInfo::exists(file)) {
        found = true;
        QFile::remove(file);
    }
    QDir tree(folder.filePath(name));
    if (!name.isEmpty() && tree.exists()) {
        found = true;
        tree.removeRecursively();
    }
    return found;
}

bool RegistryTool::DeleteSettingsKey(const QString& company, const QString& application) const {
    const QString companyFolder = QFileInfo(SettingsFile(company, application)).absolutePath();
    if (!DeleteKeyTree(companyFolder, application)) return false;
    QDir folder(companyFolder);
    if (folder.isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        folder.rmdir(companyFolder);
    }
    return true;
}

}  // namespace ruv
