// The file list's items and the rules of the extension filter and the
// open-file dialog's filter.
//
// Each item is one registered file: column 0 its name, column 1 its code
// label, column 2 its full path; the item data holds the detected KanjiCode,
// the path's native bytes (the column shows them decoded, which may lose
// bytes that are not UTF-8) and the identity of the file and its folder at
// registration, which the run checks.  The registration commands themselves are
// operations of ConvertDialog, defined in file_registration.cpp.
#pragma once

#include <QString>
#include <Qt>

#include <filesystem>
#include <string>
#include <string_view>

#include "engine/kanji_code.h"
#include "job/conversion_worker.h"

class QTreeWidgetItem;

namespace ruv::ui {

inline constexpr int CODE_ROLE = Qt::UserRole;
inline constexpr int PATH_ROLE = Qt::UserRole + 1;
inline constexpr int IDENTITY_ROLE = Qt::UserRole + 2;

enum FileColumn { COLUMN_NAME = 0, COLUMN_CODE = 1, COLUMN_PATH = 2 };

std::filesystem::path ItemPath(const QTreeWidgetItem& item);
KanjiCode ItemCode(const QTreeWidgetItem& item);
void SetItemCode(QTreeWidgetItem& item, KanjiCode code, const std::string& label);
// Puts the registered file on the item: name, full path, code, label, identity.
void SetItemFile(QTreeWidgetItem& item, const JobFile& file);
// Registers the item's file again: its code, label and identity.
void RegisterItem(QTreeWidgetItem& item);
// The file as a run sees it.
JobFile ItemJobFile(const QTreeWidgetItem& item);

// A path's native bytes as text for the screen.
QString NativeText(const std::string& bytes);

// Turns a filter of "description|patterns|...||" pairs into Qt's
// "description (*.a *.b);;..." form.  Patterns are separated by blanks in Qt,
// and "*.*", which on this platform would miss names without a dot, becomes "*".
QString OpenFileFilter(const QString& filter);

// True when the name has one of the extensions of a pattern such as
// "*.htm;*.html"; an empty pattern matches nothing.
bool MatchesExtensionPattern(const std::filesystem::path& name, std::string_view pattern);

}  // namespace ruv::ui
