// What makes the window a desktop program: its layout, keys, preview and
// English texts.
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTranslator>

#include "platform/file_handle.h"
#include "qt_test_app.h"
#include "support/corpus.h"
#include "support/data_rows.h"
#include "ui/translations.h"

namespace ruv::test {
namespace {

TEST_F(DialogTest, ListTakesTheRoomOfABiggerWindowWithoutAScrollBar) {
    Show();
    EXPECT_FALSE(List()->horizontalScrollBar()->isVisible());  // the columns fit the first size
    const QSize before = List()->size();
    dialog.resize(dialog.width() + 300, dialog.height() + 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return List()->size() - before == QSize(300, 200); }));
    EXPECT_FALSE(List()->horizontalScrollBar()->isVisible());
    EXPECT_EQ(List()->header()->length(),
              List()->viewport()->width());  // the last column stretches
}

class Preview : public DialogTest, public ::testing::WithParamInterface<DataRow> {};

TEST_P(Preview, ShowsTheTextAsDetectedWithItsLineEndsAndTheCharactersTheTargetLoses) {
    const DataRow& row = GetParam();
    const std::string text = Unescape(row.at(1));
    const KanjiCode code = CodeNamed(row.at(0));
    const auto bytes =
        code == CODE_UTF8 ? text : EncodeFile(*ConvertBytes(text, CODE_UTF8, CODE_EUC), code);
    ASSERT_TRUE(bytes);
    WriteFile(dir / "f.txt", *bytes);
    dialog.autoDetect = 1;
    dialog.targetIndex = std::stoi(row.at(2));
    Show();
    dialog.AddPath(dir / "f.txt");
    dialog.ShowPreview(List()->topLevelItem(0));
    auto* preview = dialog.findChild<QDialog*>("previewDialog");
    ASSERT_NE(preview, nullptr);
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    EXPECT_EQ(preview->findChild<QPlainTextEdit*>()->toPlainText(), shown);
    EXPECT_EQ(preview->findChild<QLabel*>("previewFacts")->text().toStdString(), row.at(3));
    preview->close();
    EXPECT_EQ(ReadFile(dir / "f.txt"), *bytes);
}

INSTANTIATE_TEST_SUITE_P(Rows, Preview, ::testing::ValuesIn(DataRows("preview_files.tsv")));

TEST_F(DialogTest, PreviewOfABigFileShowsItsHeadAndLeavesItFree) {
    WriteFile(dir / "big.txt", LargeSjisText().substr(0, 200000));
    dialog.AddPath(dir / "big.txt");
    dialog.ShowPreview(List()->topLevelItem(0));
    const QString text = Find<QPlainTextEdit>("previewText")->toPlainText();
    EXPECT_TRUE(
        text.endsWith(QStringLiteral("sample line\n\n(先頭 64 KB だけを表示しています。)")));
    std::error_code error;
    EXPECT_TRUE(
        FileHandle::OpenForReading(dir / "big.txt", error).IsOpen());  // not held, not locked
}

TEST(Translations, OtherLanguagesGetTheEnglishTextsCAndJapaneseTheOriginalOnes) {
    for (const QStringList& original :
         {QStringList{}, QStringList{"C"}, QStringList{"ja-JP", "en"}}) {
        EXPECT_TRUE(ui::KeepsOriginalTexts(original)) << original.join(',').toStdString();
    }
    EXPECT_FALSE(ui::KeepsOriginalTexts({"en-US", "ja"}));
    ui::InstallTranslations(*QCoreApplication::instance(), {"de-DE"});
    {
        ConvertDialog dialog;
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Kanji Code Converter");
        EXPECT_EQ(dialog.findChild<QAbstractButton*>("startButton")->text().toStdString(),
                  "Convert");
    }
    for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>())
        delete translator;
    EXPECT_EQ(ConvertDialog().windowTitle().toStdString(), "漢字コード変換");
    ui::InstallTranslations(*QCoreApplication::instance(), {"C"});  // Qt's own dialogs in Japanese
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Back").toStdString(), "戻る");
    for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>())
        delete translator;
}

}  // namespace
}  // namespace ruv::test
