#include "app/settings_store.h"

#include <QSettings>
#include <QStringList>

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
const QString kGeometry = QStringLiteral("Settings/Window/Geometry");
const QString kColumnWidths = QStringLiteral("Settings/Window/ColumnWidths");

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
    // The widths the window was left with, when all three read as widths.
    const QStringList widths = store.value(kColumnWidths).toString().split(QLatin1Char(','));
    int read[3];
    bool ok = widths.size() == 3;
    for (int i = 0; ok && i < 3; ++i) read[i] = widths[i].trimmed().toInt(&ok);
    if (ok && read[0] > 0 && read[1] > 0 && read[2] > 0) {
        s.fileNameWidth = read[0];
        s.codeWidth = read[1];
        s.fullPathWidth = read[2];
    }
    s.windowGeometry = store.value(kGeometry).toByteArray();
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
    store.setValue(kColumnWidths, QStringLiteral("%1,%2,%3")
                                      .arg(settings.fileNameWidth)
                                      .arg(settings.codeWidth)
                                      .arg(settings.fullPathWidth));
    if (!settings.windowGeometry.isEmpty()) store.setValue(kGeometry, settings.windowGeometry);
    store.sync();
}

}  // namespace ruv
