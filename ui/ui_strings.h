// The window's string table and dialog texts, UTF-8.
//
// Numbered strings keep the identifiers they are loaded by; the texts of the
// two dialogs (captions of controls and frames) are named constants.
// The code labels shown in the file list live in detect/code_labels.h, since
// ruv-cli shows them too.
#pragma once

#include <QString>

namespace ruv::ui {

inline constexpr int IDS_ABOUT_ITEM = 101;   // the about item of the window's menu
inline constexpr int IDS_OPEN_FILTER = 102;  // the open-file dialog's filter
inline constexpr int IDS_WEB_ADDRESS = 103;  // the product web page
inline constexpr int IDS_COLUMN_NAME = 10001;
inline constexpr int IDS_COLUMN_CODE = 10002;
inline constexpr int IDS_COLUMN_PATH = 10003;
inline constexpr int IDS_START = 10004;
inline constexpr int IDS_CANCEL = 10005;
inline constexpr int IDS_IDLE = 10006;
inline constexpr int IDS_CANCELLED = 10200;
inline constexpr int IDS_FAILED = 10203;

// The text of a numbered string in the window's language; empty for an
// unknown identifier.
QString UiString(int id);
// A text of this table in the window's language (the original when no
// translation is installed).
QString Tr(const char* utf8);

// Captions of the end-of-run message boxes.
inline constexpr const char* CAPTION_CANCELLED = "Cancel";
inline constexpr const char* CAPTION_FAILED = "Error";
inline constexpr const char* CAPTION_LOST = QT_TRANSLATE_NOOP("ruv", "注意");
// Heads the list of files that lost characters, one "name: count" line each.
inline constexpr const char* TEXT_LOST = QT_TRANSLATE_NOOP(
    "ruv", "次のファイルでは、変換後の漢字コードにない文字または\n壊れた文字を置き換えました。\n");
// One line of that list, and the line of the first character replaced.
inline constexpr const char* TEXT_LOST_FILE = QT_TRANSLATE_NOOP("ruv", "%1: %2 文字");
inline constexpr const char* TEXT_LOST_LINE = QT_TRANSLATE_NOOP("ruv", " (最初は %1 行目)");

// The main window.
inline constexpr const char* TEXT_TITLE = QT_TRANSLATE_NOOP("ruv", "漢字コード変換");
inline constexpr const char* TEXT_EXIT = QT_TRANSLATE_NOOP("ruv", "終了");
inline constexpr const char* TEXT_CHOOSE_FILE = QT_TRANSLATE_NOOP("ruv", "ファイル選択");
inline constexpr const char* TEXT_LIST_LABEL = QT_TRANSLATE_NOOP("ruv", "登録されたファイル");
inline constexpr const char* TEXT_EXTENSION = QT_TRANSLATE_NOOP("ruv", "拡張子");
inline constexpr const char* TEXT_REMOVE = QT_TRANSLATE_NOOP("ruv", "登録削除");
inline constexpr const char* TEXT_CLEAR = QT_TRANSLATE_NOOP("ruv", "登録初期化");
inline constexpr const char* TEXT_FILE_GROUP = QT_TRANSLATE_NOOP("ruv", "ファイル");
inline constexpr const char* TEXT_CODE_GROUP = QT_TRANSLATE_NOOP("ruv", "漢字コード");
inline constexpr const char* TEXT_SOURCE_GROUP = QT_TRANSLATE_NOOP("ruv", "変換前の漢字コード");
inline constexpr const char* TEXT_TARGET_GROUP = QT_TRANSLATE_NOOP("ruv", "変換後の漢字コード");
inline constexpr const char* TEXT_NEWLINE_GROUP = QT_TRANSLATE_NOOP("ruv", "改行コード");
inline constexpr const char* TEXT_AUTO_DETECT = QT_TRANSLATE_NOOP("ruv", "自動判別");
inline constexpr const char* TEXT_HALF_WIDTH_KANA = QT_TRANSLATE_NOOP("ruv", "半角カナ->全角カナ");
inline constexpr const char* TEXT_BACKUP = QT_TRANSLATE_NOOP("ruv", "バックアップ");
inline constexpr const char* TEXT_SAVE_SETTINGS =
    QT_TRANSLATE_NOOP("ruv", "設定をレジストリに保存する。(チェックを外すと完全に消えます。)");
inline constexpr const char* CODE_BUTTON_TEXTS[6] = {QT_TRANSLATE_NOOP("ruv", "JIS漢字コード"),
                                                     QT_TRANSLATE_NOOP("ruv", "S-JIS漢字コード"),
                                                     QT_TRANSLATE_NOOP("ruv", "EUC漢字コード"),
                                                     "Unicode",
                                                     "UTF-8",
                                                     "UTF-7"};
inline constexpr const char* NEWLINE_BUTTON_TEXTS[3] = {"CR + LF", "CR", "LF"};
// What each option does, on its tooltip.
inline constexpr const char* TIP_AUTO_DETECT =
    QT_TRANSLATE_NOOP("ruv", "各ファイルの漢字コードを内容から判別して変換します。");
inline constexpr const char* TIP_SOURCE =
    QT_TRANSLATE_NOOP("ruv", "自動判別しないときの変換前の漢字コード");
inline constexpr const char* TIP_TARGET =
    QT_TRANSLATE_NOOP("ruv", "ファイルをこの漢字コードに書き換えます。");
inline constexpr const char* TIP_HALF_WIDTH_KANA = QT_TRANSLATE_NOOP(
    "ruv",
    "半角カナを全角カナにします。JIS と EUC は常に変換し、Unicode 系は変換しません。\n"
    "選べるのは S-JIS のときだけです。");
inline constexpr const char* TIP_NEWLINE = QT_TRANSLATE_NOOP("ruv", "変換後の改行コード");
inline constexpr const char* TIP_BACKUP =
    QT_TRANSLATE_NOOP("ruv", "変換前の内容を「ファイル名.bak」として残します。");
inline constexpr const char* TIP_SAVE_SETTINGS =
    QT_TRANSLATE_NOOP("ruv", "次回も同じ設定とウィンドウの大きさで始めます。");
inline constexpr const char* TIP_FILTER =
    QT_TRANSLATE_NOOP("ruv", "この拡張子のファイルだけを一覧に残します。");
// The list's context menu, and the status line after a run.
inline constexpr const char* TEXT_PREVIEW_ITEM = QT_TRANSLATE_NOOP("ruv", "内容を表示");
inline constexpr const char* TEXT_RUN_SUMMARY =
    QT_TRANSLATE_NOOP("ruv", "変換 %1、変更なし %2、スキップ %3、失敗 %4");
// The preview: its caption, and the facts under the text.
inline constexpr const char* TEXT_PREVIEW_TITLE = QT_TRANSLATE_NOOP("ruv", "内容 - %1");
inline constexpr const char* TEXT_PREVIEW_FACTS =
    QT_TRANSLATE_NOOP("ruv", "漢字コード: %1　改行: %2　%3 への変換で失われる文字: %4");
inline constexpr const char* TEXT_PREVIEW_CUT =
    QT_TRANSLATE_NOOP("ruv", "(先頭 64 KB だけを表示しています。)");
inline constexpr const char* TEXT_PREVIEW_STOPPED =
    QT_TRANSLATE_NOOP("ruv", "(この先はこの漢字コードとして読めません。)");
inline constexpr const char* TEXT_PREVIEW_UNREADABLE =
    QT_TRANSLATE_NOOP("ruv", "表示できません: %1");
inline constexpr const char* TEXT_LINE_ENDS[5] = {QT_TRANSLATE_NOOP("ruv", "なし"), "CR LF", "LF",
                                                  "CR", QT_TRANSLATE_NOOP("ruv", "混在")};
inline constexpr const char* TEXT_CLOSE = QT_TRANSLATE_NOOP("ruv", "閉じる");
// The extension filter's items, sorted as the box shows them; "*.*" first filters nothing.
inline constexpr const char* FILTER_PATTERNS[4] = {"*.*", "*.cgi;*.pl", "*.htm;*.html", "*.txt"};

// The about box.
inline constexpr const char* TEXT_ABOUT_TITLE = QT_TRANSLATE_NOOP("ruv", "バージョン情報 ruv");
// Followed by the version of the build.
inline constexpr const char* TEXT_VERSION = "ruv  Version ";
inline constexpr const char* TEXT_NOTICE = "Copyright (C) Torvane. All rights reserved.";
inline constexpr const char* TEXT_OK = "OK";

}  // namespace ruv::ui
