// The window: option state through the data exchange, the rules that tie
// controls together, Enter, closing, and whole runs on real files.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>

#include <map>

#include "dialog_fixture.h"
#include "support/data_rows.h"

namespace ruv::test {
namespace {

const std::string kUtf8 = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xA7\xE3\x81\x99\xE3\x80\x82\r\n";  // the same

class DataExchange : public DialogTest, public ::testing::WithParamInterface<DataRow> {};

TEST_P(DataExchange, ShowsTheStoredValueAndReadsItBackAtClosing) {
    static const std::map<std::string, int ConvertDialog::*> fields{
        {"backup", &ConvertDialog::backup},           {"saveSettings", &ConvertDialog::saveSettings},
        {"autoDetect", &ConvertDialog::autoDetect},   {"sourceIndex", &ConvertDialog::sourceIndex},
        {"targetIndex", &ConvertDialog::targetIndex}, {"newlineIndex", &ConvertDialog::newlineIndex}};
    int ConvertDialog::*field = fields.at(GetParam().at(0));
    dialog.*field = std::stoi(GetParam().at(1));
    Show();
    dialog.*field = 12345;
    dialog.reject();
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_EQ(dialog.*field, std::stoi(GetParam().at(2)));
}

INSTANTIATE_TEST_SUITE_P(Rows, DataExchange, ::testing::ValuesIn(DataRows("dialog_exchange.tsv")),
                         [](const auto& info) { return info.param.at(0) + std::to_string(info.index); });

TEST_F(DialogTest, AutoDetectAndTheTargetFreeOrLockTheControlsTheyRule) {
    dialog.autoDetect = 1;
    dialog.sourceIndex = 2;
    dialog.targetIndex = -1;
    dialog.halfWidthKana = 0;
    Show();
    // Auto-detection disables the source buttons but keeps their choice.
    const auto enabledSources = [this] {
        int count = 0;
        for (int i = 0; i < 6; ++i) count += Find("source" + std::to_string(i))->isEnabled();
        return count;
    };
    EXPECT_EQ(enabledSources(), 0);
    Click("autoDetectBox");
    EXPECT_EQ(dialog.autoDetect, 0);
    EXPECT_EQ(enabledSources(), 6);
    EXPECT_TRUE(Find("source2")->isChecked());
    Click("source5");
    EXPECT_EQ(dialog.sourceIndex, 5);
    // Only a Shift_JIS target frees the half-width box; every other forces it on.
    auto* box = Find<QCheckBox>("halfWidthKanaBox");
    EXPECT_FALSE(box->isEnabled());
    EXPECT_EQ(dialog.halfWidthKana, 1);
    for (const char* target : {"target0", "target4"}) {
        Click("target1");
        ASSERT_TRUE(box->isEnabled());
        box->click();
        EXPECT_EQ(dialog.halfWidthKana, 0);
        Click(target);
        EXPECT_FALSE(box->isEnabled()) << target;
        EXPECT_TRUE(box->isChecked()) << target;
        EXPECT_EQ(dialog.halfWidthKana, 1) << target;
    }
}

class EnterKey : public DialogTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(EnterKey, StartsARunThatNothingElseDisturbsAndTheNextEnterEvenAutoRepeatedCancels) {
    WriteFile(dir / "a.txt", kSjis);
    WriteFile(dir / "b.htm", kSjis);
    dialog.autoDetect = 1;
    dialog.targetIndex = 4;
    Show();
    const std::string big = AddBigFile();
    dialog.AddPath(dir / "b.htm");
    QWidget* control = Find<QWidget>(GetParam());
    const auto focus = [&] {
        control->setFocus();
        return QTest::qWaitFor([&] { return QApplication::focusWidget() == control; });
    };
    ASSERT_TRUE(focus());
    PressEnter();
    ASSERT_TRUE(dialog.IsBusy());
    EXPECT_EQ(Find("startButton")->text().toStdString(), "中 断");
    EXPECT_FALSE(Find("exitButton")->isEnabled());

    // While the run is busy no file command and no way of closing has any effect.
    List()->topLevelItem(0)->setSelected(true);
    chosen = QString::fromStdString((dir / "a.txt").string());
    DropFiles(&dialog, {dir / "a.txt"});
    for (const char* button : {"chooseButton", "removeButton", "clearButton", "exitButton"}) Click(button);
    auto* filter = Find<QComboBox>("filterBox");
    filter->setCurrentIndex(1);
    emit filter->activated(1);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.close());  // the close box and the window manager
    dialog.accept();
    dialog.done(1);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(Names(), (Strings{"big.txt", "b.htm"}));
    EXPECT_TRUE(filters.empty());

    ASSERT_TRUE(focus());
    PressEnter(/*autoRepeat=*/true);
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(messages, Strings{"Cancel: ユーザーの指示により変換処理を\n中断しました。"});
    EXPECT_EQ(ReadFile(dir / "big.txt"), big);
    EXPECT_EQ(FolderNames(dir.Path()), (Strings{"a.txt", "b.htm", "big.txt"}));
    EXPECT_EQ(Find("startButton")->text().toStdString(), "変 換");
    EXPECT_EQ(Find<QLabel>("statusLine")->text().toStdString(), "選択中");
    EXPECT_TRUE(dialog.close());
    EXPECT_EQ(dialog.result(), 1);  // so that start-up saves or removes the settings
}

INSTANTIATE_TEST_SUITE_P(FocusedControls, EnterKey, ::testing::Values("startButton", "fileList", "filterBox"));

TEST_F(DialogTest, RunFromADropConvertsEachFileFromItsOwnCodeAndRefreshesTheLabels) {
    WriteFile(dir / "a.txt", kSjis);
    WriteFile(dir / "b.txt", kUtf8);
    WriteFile(dir / "c.dat", std::string("\x00\x01\x02\x03 binary\n", 13));
    dialog.autoDetect = 1;
    dialog.targetIndex = 4;
    Show();
    DropFiles(&dialog, {dir.Path()});
    ASSERT_EQ(Names(), (Strings{"c.dat", "b.txt", "a.txt"}));
    EXPECT_EQ(Labels(), (Strings{"binary", "UTF-8", "Shift-JIS"}));

    Click("target1");
    Click("newline0");
    Click("startButton");
    ASSERT_TRUE(WaitForIdle());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Labels(), (Strings{"binary", "Shift-JIS", "Shift-JIS"}));
    EXPECT_EQ(ReadFile(dir / "a.txt"), kSjis);
    EXPECT_EQ(ReadFile(dir / "b.txt"), kSjis);
    EXPECT_EQ(FolderNames(dir.Path()), (Strings{"a.txt", "b.txt", "c.dat"}));  // no backup, no temporary
    auto* bar = Find<QProgressBar>("progressBar");
    EXPECT_EQ(bar->value(), bar->maximum());
}

}  // namespace
}  // namespace ruv::test
