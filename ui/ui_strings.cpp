#include "ui/ui_strings.h"

#include <array>

namespace ruv::ui {
namespace {

struct UiStringEntry {
    int id;
    const char* text;
};

constexpr std::array<UiStringEntry, 12> kStrings{{
    {IDS_ABOUT_ITEM, "バージョン情報(ruv) (&A)..."},
    {IDS_OPEN_FILTER,
     "テキスト文書 (*.txt)|*.txt|HTML文書 (*.htm;*.html;*.shtml)|*.htm;*.html;*.shtml|"
     "cgi用ﾌｧｲﾙ (*.cgi;*.pl)|*.cgi;*.pl|All Files (*.*)|*.*||"},
    // Placeholder under a reserved domain until the project has its page.
    {IDS_WEB_ADDRESS, "https://ruv.torvane.example/"},
    {IDS_COLUMN_NAME, "ファイル名"},
    {IDS_COLUMN_CODE, "漢字コード"},
    {IDS_COLUMN_PATH, "フルパス名"},
    {IDS_START, "変 換"},
    {IDS_CANCEL, "中 断"},
    {IDS_IDLE, "選択中"},
    {IDS_CANCELLED, "ユーザーの指示により変換処理を\n中断しました。"},
    {IDS_FAILED, "変換出来ないまたはディスクの\n容量が足りません。"},
    {0, ""},
}};

}  // namespace

QString UiString(int id) {
    for (const UiStringEntry& entry : kStrings) {
        if (entry.id == id && id != 0) return QString::fromUtf8(entry.text);
    }
    return {};
}

}  // namespace ruv::ui
