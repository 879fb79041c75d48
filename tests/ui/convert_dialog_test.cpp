// The window: option state through the data exchange, the rules that tie
// controls together, Enter, closing, and whole runs on real files.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>

#include <map>
#include <sstream>

#include "job/job_runner.h"

#include "qt_test_app.h"
#include "support/data_rows.h"

namespace ruv::test {
namespace {

const std::string kUtf8 =
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xA7\xE3\x81\x99\xE3\x80\x82\r\n";  // the same

const std::map<std::string, int ConvertDialog::*> kFields{
    {"backup", &ConvertDialog::backup},
    {"saveSettings", &ConvertDialog::saveSettings},
    {"autoDetect", &ConvertDialog::autoDetect},
    {"sourceIndex", &ConvertDialog::sourceIndex},
    {"targetIndex", &ConvertDialog::targetIndex},
    {"newlineIndex", &ConvertDialog::newlineIndex},
    {"halfWidthKana", &ConvertDialog::halfWidthKana}};

// The "name<separator>value" words of a field.
std::vector<std::pair<std::string, std::string>> Pairs(const std::string& field, char separator) {
    std::vector<std::pair<std::string, std::string>> pairs;
    std::istringstream words(field);
    for (std::string word; words >> word;) {
        const std::size_t at = word.find(separator);
        if (at != std::string::npos) pairs.emplace_back(word.substr(0, at), word.substr(at + 1));
    }
    return pairs;
}

class ControlRules : public DialogTest, public ::testing::WithParamInterface<DataRow> {};

TEST_P(ControlRules, ClicksFreeOrLockTheControlsTheyRule) {
    const DataRow& row = GetParam();
    for (const auto& [name, value] : Pairs(row.at(0), '=')) {
        dialog.*kFields.at(name) = std::stoi(value);
    }
    Show();
    std::istringstream clicks(row.at(1));
    for (std::string name; clicks >> name;) {
        if (name != "-") Click(name);
    }
    for (const auto& [name, flags] : Pairs(row.at(2), ':')) {
        const QAbstractButton* control = Find(name);
        const std::string shown =
            std::string(control->isEnabled() ? "e" : "") + (control->isChecked() ? "c" : "");
        EXPECT_EQ(shown.empty() ? "-" : shown, flags) << name;
    }
    // A field marked "*" is spoilt first: only the controls can give its value back.
    const auto fields = Pairs(row.at(3), '=');
    for (const auto& [name, value] : fields) {
        if (name[0] == '*') dialog.*kFields.at(name.substr(1)) = 12345;
    }
    dialog.reject();
    EXPECT_EQ(dialog.result(), 1);
    for (const auto& [name, value] : fields) {
        EXPECT_EQ(dialog.*kFields.at(name.substr(name[0] == '*')), std::stoi(value)) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ControlRules, ::testing::ValuesIn(DataRows("dialog_controls.tsv")),
                         [](const auto& info) { return "row" + std::to_string(info.index); });

class EnterKey : public DialogTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(EnterKey, StartsARunThatNothingElseDisturbsAndTheNextEnterEvenAutoRepeatedCancels) {
    WriteFile(dir / "a.txt", kSjis);
    WriteFile(dir / "b.htm", kSjis);
    dialog.autoDetect = 1;
    dialog.targetIndex = 4;
    Show();
    const std::string big = LargeSjisText();  // a run over it stays busy
    WriteFile(dir / "big.txt", big);
    dialog.AddPath(dir / "big.txt");
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
    for (const char* command :
         {"exitButton", "chooseButton", "removeButton", "clearButton", "filterBox"}) {
        EXPECT_FALSE(Find<QWidget>(command)->isEnabled()) << command;
    }

    // While the run is busy no file command and no way of closing has any effect.
    List()->topLevelItem(0)->setSelected(true);
    chosen = {QString::fromStdString((dir / "a.txt").string())};
    EXPECT_FALSE(DropFiles(&dialog, {dir / "a.txt"}));  // refused at the drag
    QTest::keyClick(&dialog, Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(List(), Qt::Key_Delete);
    for (const char* button : {"chooseButton", "removeButton", "clearButton", "exitButton"})
        Click(button);
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

    if (!control->isEnabled()) control = List();  // a file command is disabled while busy
    ASSERT_TRUE(focus());
    PressEnter(/*autoRepeat=*/true);
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(messages, Strings{"Cancel: ユーザーの指示により変換処理を\n中断しました。"});
    EXPECT_EQ(Find<QProgressBar>("progressBar")->value(), 0);
    EXPECT_EQ(ReadFile(dir / "big.txt"), big);
    EXPECT_EQ(FolderNames(dir.Path()), (Strings{"a.txt", "b.htm", "big.txt"}));
    EXPECT_EQ(Find("startButton")->text().toStdString(), "変 換");
    EXPECT_EQ(Find<QLabel>("statusLine")->text().toStdString(),
              "変換 0、変更なし 0、スキップ 0、失敗 0");
    EXPECT_TRUE(Find("chooseButton")->isEnabled());
    EXPECT_TRUE(dialog.close());
    EXPECT_EQ(dialog.result(), 1);  // so that start-up saves or removes the settings
}

INSTANTIATE_TEST_SUITE_P(FocusedControls, EnterKey,
                         ::testing::Values("startButton", "fileList", "filterBox"));

TEST_F(DialogTest, RunFromADropConvertsEachFileFromItsOwnCodeAndRefreshesTheLabels) {
    const std::string emoji = "\xF0\x9F\x98\x80\r\n";  // no code in Shift_JIS: lost as "?"
    WriteFile(dir / "a.txt", kSjis);
    WriteFile(dir / "b.txt", kUtf8 + emoji);
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
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("\nb.txt: 1 文字 (最初は 2 行目)"), std::string::npos)
        << messages[0];
    EXPECT_EQ(Labels(), (Strings{"binary", "Shift-JIS", "Shift-JIS"}));
    EXPECT_EQ(ReadFile(dir / "a.txt"), kSjis);
    EXPECT_EQ(ReadFile(dir / "b.txt"), kSjis + "?\r\n");
    EXPECT_EQ(FolderNames(dir.Path()),
              (Strings{"a.txt", "b.txt", "c.dat"}));  // no backup, no temporary
    auto* bar = Find<QProgressBar>("progressBar");
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(Find<QLabel>("statusLine")->text().toStdString(),
              "変換 1、変更なし 1、スキップ 1、失敗 0");
}

// The run's end as the worker sees it comes before the window takes it in:
// the start button still reads "中 断", and a press then was meant as a cancel.
TEST_F(DialogTest, APressJustAfterARunOrAHeldEnterNeverStartsARunThatWouldReplaceTheBackup) {
    WriteFile(dir / "a.txt", kSjis);
    dialog.sourceIndex = 1;  // a second run would read the converted text as Shift_JIS again
    dialog.targetIndex = 4;
    dialog.newlineIndex = 0;
    dialog.backup = 1;
    Show();
    dialog.AddPath(dir / "a.txt");
    Click("startButton");
    // No event is handled meanwhile: the window cannot see the run end.
    for (int i = 0; i < 2000 && ReadFile(dir / "a.txt") != kUtf8; ++i) QTest::qSleep(10);
    QTest::qSleep(1000);  // time enough for the worker to finish after the rename
    Click("startButton");
    ASSERT_TRUE(WaitForIdle());
    Click("startButton");  // within 0.5 s of the end
    EXPECT_FALSE(dialog.IsBusy());
    Find<QWidget>("fileList")->setFocus();
    QTest::qWait(600);
    PressEnter(/*autoRepeat=*/true);
    EXPECT_FALSE(dialog.IsBusy());
    EXPECT_EQ(ReadFile(dir / "a.txt.bak") + ReadFile(dir / "a.txt"), kSjis + kUtf8);
    EXPECT_TRUE(messages.empty());  // no second run, not even one refused
    PressEnter();                   // a fresh press, later, starts the next run
    EXPECT_TRUE(dialog.IsBusy());
    ASSERT_TRUE(WaitForIdle());
}

TEST_F(DialogTest, FailureNamesTheFileAndItsReasonThenSelectsItAndEmptiesTheBar) {
    for (const char* name : {"1.txt", "2.txt", "3.txt"}) WriteFile(dir / name, kSjis);
    std::filesystem::create_directories(dir / "2.txt.bak" / "inside");  // its backup cannot be made
    dialog.autoDetect = 1;
    dialog.targetIndex = 4;
    dialog.backup = 1;
    Show();
    DropFiles(&dialog, {dir.Path()});
    Click("startButton");
    ASSERT_TRUE(WaitForIdle());
    ASSERT_EQ(messages.size(), 1u);
    const std::string head = "Error: 変換出来ないまたはディスクの\n容量が足りません。\n\n" +
                             std::filesystem::canonical(dir / "2.txt").string() + "\ncannot ";
    EXPECT_EQ(messages[0].substr(0, head.size()), head) << messages[0];
    EXPECT_EQ(Find<QProgressBar>("progressBar")->value(), 0);
    const auto selected = List()->selectedItems();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0]->text(0).toStdString(), "2.txt");
}

TEST_F(DialogTest, FilesThatLostCharactersAreListedUpToTwentyAndSelected) {
    for (int i = 10; i < 32; ++i) WriteFile(dir / ("f" + std::to_string(i) + ".txt"), kSjis);
    Show();
    DropFiles(&dialog, {dir.Path()});  // f31.txt first
    JobReport report;
    for (std::size_t i = 0; i < 21; ++i) report.lost.push_back({i, i + 1, 3, 0, true});
    dialog.ReportRun(report, JobOutcome::Done);
    ASSERT_EQ(messages.size(), 1u);
    const std::string& text = messages[0];
    EXPECT_EQ(text.rfind("注意: 次のファイルでは", 0), 0u) << text;
    EXPECT_NE(text.find("\nf31.txt: 1 文字 (最初は 3 行目)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nf12.txt: 20 文字"), std::string::npos) << text;
    EXPECT_EQ(text.find("f11.txt"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 4), "\n…");
    EXPECT_EQ(List()->selectedItems().size(), 21);
    EXPECT_FALSE(List()->topLevelItem(21)->isSelected());
    report.unchanged = {1, 2};
    report.failures = {{3, "x"}, {4, "y"}};
    EXPECT_EQ(RunSummary(report).toStdString(), "変換 0、変更なし 2、スキップ 0、失敗 2");
}

}  // namespace
}  // namespace ruv::test
