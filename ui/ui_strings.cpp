#include "ui/ui_strings.h"

#include <QCoreApplication>

#include <array>

namespace ruv::ui {
namespace {

struct UiStringEntry {
    int id;
    const char* text;
};

constexpr std::array<UiStringEntry, 12> kStrings{{
    {IDS_ABOUT_ITEM, QT_TRANSLATE_NOOP("ruv", "バージョン情報(ruv) (&A)...")},
    {IDS_OPEN_FILTER,
     QT_TRANSLATE_NOOP(
         "ruv",
         "テキスト文書 (*.txt)|*.txt|HTML文書 (*.htm;*.html;*.shtml)|*.htm;*.html;*.shtml|"
         "cgi用ﾌｧｲﾙ (*.cgi;*.pl)|*.cgi;*.pl|All Files (*.*)|*.*||")},
    // Placeholder under a reserved domain until the project has its page.
    {IDS_WEB_ADDRESS, "https://ruv.torvane.example/"},
    {IDS_COLUMN_NAME, QT_TRANSLATE_NOOP("ruv", "ファイル名")},
    {IDS_COLUMN_CODE, QT_TRANSLATE_NOOP("ruv", "漢字コード")},
    {IDS_COLUMN_PATH, QT_TRANSLATE_NOOP("ruv", "フルパス名")},
    {IDS_START, QT_TRANSLATE_NOOP("ruv", "変 換")},
    {IDS_CANCEL, QT_TRANSLATE_NOOP("ruv", "中 断")},
    {IDS_IDLE, QT_TRANSLATE_NOOP("ruv", "選択中")},
    {IDS_CANCELLED, QT_TRANSLATE_NOOP("ruv", "ユーザーの指示により変換処理を\n中断しました。")},
    {IDS_FAILED, QT_TRANSLATE_NOOP("ruv", "変換出来ないまたはディスクの\n容量が足りません。")},
    {0, ""},
}};

}  // namespace

QString UiString(int id) {
    for (const UiStringEntry& entry : kStrings) {
        if (entry.id == id && id != 0) return Tr(entry.text);
    }
    return {};
}

QString Tr(const char* utf8) { return QCoreApplication::translate("ruv", utf8); }

}  // namespace ruv::ui
