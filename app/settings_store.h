// The options kept between runs, as a plain struct with their defaults, and
// the functions that read and write them through any QSettings.
//
// Layout of the store (QSettings("Torvane", "ruv"): on Linux the file
// $XDG_CONFIG_HOME/Torvane/ruv.conf):
//   Version/Registry                   layout marker, 200
//   Settings/Button/Auto HANZEN Backup InputText OutputText CRLF
//   Settings/List/filename kanjicode fullpath   column widths, read only
//   Settings/Window/Geometry           the window's size and place (saveGeometry)
//   Settings/Window/ColumnWidths       "name,code,path" widths as left; over the three above
// A value that is missing or not an integer reads as its default.
#pragma once

#include <QByteArray>

class QSettings;

namespace ruv {

inline constexpr int SETTINGS_LAYOUT = 200;

struct StoredSettings {
    int autoDetect = 1;     // "Auto"
    int halfWidthKana = 1;  // "HANZEN"
    int backup = 1;         // "Backup"
    int sourceIndex = 1;    // "InputText": Shift_JIS
    int targetIndex = 1;    // "OutputText": Shift_JIS
    int newlineIndex = 0;   // "CRLF": CR+LF
    int fileNameWidth = 190;
    int codeWidth = 75;
    int fullPathWidth = 200;
    QByteArray windowGeometry;  // empty: the window's default size and place
};

// The stored layout marker; SETTINGS_LAYOUT when there is none.
int ReadLayout(QSettings& store);

// The values, in the order they are stored.
StoredSettings ReadSettings(QSettings& store);

// The marker, then the six options; the column widths are never written.
void WriteSettings(QSettings& store, const StoredSettings& settings);

}  // namespace ruv
