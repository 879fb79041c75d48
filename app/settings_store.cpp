#include "app/settings_store.h"

#include <QSettings>

namespace ruv {
namespace {

const QString kLayout = QStringLiteral("Version/Registry");
const QString kAuto = QStringLiteral("Settings/Button/Auto");
const QString kHalfWidthKana = QStringLiteral("Settings/Button/HANZEN");
const QString kBackup = QStringLiteral("Settings/Button/Backup");
const QString kSource = QStringLiteral("Settings/Button/InputText");
const QString kTarget = QStringLiteral("Settings/Button/OutputText");
const QString kNewline = QStringLiteral("Settings/Button/CRLF");
const QString kFileNameWidth = QStringLiteral("Settings/List/filename");
const QString kCodeWidth = QStringLiteral("Settings/List/kanjicode");
const QString kFullPathWidth = QStringLiteral("Settings/List/fullpath");

// Through text: a QVariant conversion would accept text out of int's range.
int ReadInt(QSettings& store, const QString& key, int fallback) {
    const QVariant value = store.value(key);
    if (!value.isValid()) return fallback;
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok);
    return ok ? number : fallback;
}

}  // namespace

int ReadLayout(QSettings& store) { return ReadInt(store, kLayout, SETTINGS_LAYOUT); }

StoredSettings ReadSettings(QSettings& store) {
    const StoredSettings defaults;
    StoredSettings s;
    s.autoDetect = ReadInt(store, kAuto, defaults.autoDetect);
    s.halfWidthKana = ReadInt(store, kHalfWidthKana, defaults.halfWidthKana);
    s.backup = ReadInt(store, kBackup, defaults.backup);
    s.sourceIndex = ReadInt(store, kSource, defaults.sourceIndex);
    s.targetIndex = ReadInt(store, kTarget, defaults.targetIndex);
    s.newlineIndex = ReadInt(store, kNewline, defaults.newlineIndex);
    s.fileNameWidth = ReadInt(store, kFileNameWidth, defaults.fileNameWidth);
    s.codeWidth = ReadInt(store, kCodeWidth, defaults.codeWidth);
    s.fullPathWidth = ReadInt(store, kFullPathWidth, defaults.fullPathWidth);
    return s;
}

void WriteSettings(QSettings& store, const StoredSettings& settings) {
    store.setValue(kLayout, SETTINGS_LAYOUT);
    store.setValue(kAuto, settings.autoDetect);
    store.setValue(kHalfWidthKana, settings.halfWidthKana);
    store.setValue(kBackup, settings.backup);
    store.setValue(kSource, settings.sourceIndex);
    store.setValue(kTarget, settings.targetIndex);
    store.setValue(kNewline, settings.newlineIndex);
    store.sync();
}

}  // namespace ruv
