// The window's string table and dialog texts, UTF-8.
//
// Numbered strings keep the identifiers they are loaded by; the texts of the
// two dialogs (captions of controls and frames) are named constants.
// The code labels shown in the file list live in detect/code_labels.h, since
// ruv-cli shows them too.
#pragma once

#include <QString>

namespace ruv::ui {

inline constexpr int IDS_ABOUT_ITEM = 101;     // the about item of the window's menu
inline constexpr int IDS_OPEN_FILTER = 102;    // the open-file dialog's filter
inline constexpr int IDS_WEB_ADDRESS = 103;    // the product web page
inline constexpr int IDS_COLUMN_NAME = 10001;
inline constexpr int IDS_COLUMN_CODE = 10002;
inline constexpr int IDS_COLUMN_PATH = 10003;
inline constexpr int IDS_START = 10004;
inline constexpr int IDS_CANCEL = 10005;
inline constexpr int IDS_IDLE = 10006;
inline constexpr int IDS_CANCELLED = 10200;
inline constexpr int IDS_FAILED = 10203;

// The text of a numbered string; empty for an unknown identifier.
QString UiString(int id);

// Captions of the end-of-run message boxes.
inline constexpr const char* CAPTION_CANCELLED = "Cancel";
inline constexpr const char* CAPTION_FAILED = "Error";
inline constexpr const char* CAPTION_LOST = "注意";
// Heads the list of files that lost characters, one "name: count" line each.
inline constexpr const char* TEXT_LOST =
    "次のファイルでは、変換後の漢字コードにない文字または\n壊れた文字を置き換えました。\n";

// The main window.
inline constexpr const char* TEXT_TITLE = "漢字コード変換";
inline constexpr const char* TEXT_EXIT = "終了";
inline constexpr const char* TEXT_CHOOSE_FILE = "ファイル選択";
inline constexpr const char* TEXT_LIST_LABEL = "登録されたファイル";
inline constexpr const char* TEXT_EXTENSION = "拡張子";
inline constexpr const char* TEXT_REMOVE = "登録削除";
inline constexpr const char* TEXT_CLEAR = "登録初期化";
inline constexpr const char* TEXT_FILE_GROUP = "ファイル";
inline constexpr const char* TEXT_CODE_GROUP = "漢字コード";
inline constexpr const char* TEXT_SOURCE_GROUP = "変換前の漢字コード";
inline constexpr const char* TEXT_TARGET_GROUP = "変換後の漢字コード";
inline constexpr const char* TEXT_NEWLINE_GROUP = "改行コード";
inline constexpr const char* TEXT_AUTO_DETECT = "自動判別";
inline constexpr const char* TEXT_HALF_WIDTH_KANA = "半角カナ->全角カナ";
inline constexpr const char* TEXT_BACKUP = "バックアップ";
inline constexpr const char* TEXT_SAVE_SETTINGS = "設定をレジストリに保存する。(チェックを外すと完全に消えます。)";
inline constexpr const char* CODE_BUTTON_TEXTS[6] = {
    "JIS漢字コード", "S-JIS漢字コード", "EUC漢字コード", "Unicode", "UTF-8", "UTF-7"};
inline constexpr const char* NEWLINE_BUTTON_TEXTS[3] = {"CR + LF", "CR", "LF"};
// The extension filter's items, sorted as the box shows them; "*.*" first filters nothing.
inline constexpr const char* FILTER_PATTERNS[4] = {"*.*", "*.cgi;*.pl", "*.htm;*.html", "*.txt"};

// The about box.
inline constexpr const char* TEXT_ABOUT_TITLE = "バージョン情報 ruv";
inline constexpr const char* TEXT_VERSION = "ruv.exe  Version 6.5";
inline constexpr const char* TEXT_NOTICE = "Copyright (C) Torvane. All rights reserved.";
inline constexpr const char* TEXT_OK = "OK";

}  // namespace ruv::ui
