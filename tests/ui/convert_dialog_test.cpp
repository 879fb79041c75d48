// The window: option state through the data exchange, the rules that tie
// controls together, Enter, closing, and whole runs on real files.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "dialog_fixture.h"
#include "job/in_place_converter.h"
#include "ui/about_dialog.h"

namespace ruv::test {
namespace {

namespace fs = std::filesystem;

const std::string kSjis = "\x93\xFA\x96\x7B\x8C\xEA\x82\xC5\x82\xB7\x81\x42\r\n";  // 日本語です。
// 日本語のテキストです。これはテストです。
const std::string kEuc =
    "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xA5\xC6\xA5\xAD\xA5\xB9\xA5\xC8\xA4\xC7\xA4\xB9\xA1\xA3"
    "\xA4\xB3\xA4\xEC\xA4\xCF\xA5\xC6\xA5\xB9\xA5\xC8\xA4\xC7\xA4\xB9\xA1\xA3\r\n";
const std::string kEucAsUtf8 =
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE3\x83\x86\xE3\x82\xAD\xE3\x82\xB9\xE3\x83\x88"
    "\xE3\x81\xA7\xE3\x81\x99\xE3\x80\x82\xE3\x81\x93\xE3\x82\x8C\xE3\x81\xAF\xE3\x83\x86\xE3\x82\xB9"
    "\xE3\x83\x88\xE3\x81\xA7\xE3\x81\x99\xE3\x80\x82\r\n";
const std::string kUtf8 =
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xA7\xE3\x81\x99\xE3\x80\x82\r\n";  // 日本語です。
const std::string kUndecided = "\x82\xA0\xA4\xA2\n";  // as Shift_JIS or EUC-JP alike

bool HasTemporaryFile(const fs::path& folder) {
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().find(TEMP_SUFFIX) != std::string::npos) return true;
    }
    return false;
}

// Stored field values, what the window shows, and what it reads back at closing.
struct ExchangeRow {
    const char* what;
    int ConvertDialog::*field;
    int stored;
    const char* control;  // the check box, or the radio button expected checked ("" none)
    int readBack;
};

class DataExchange : public DialogTest, public ::testing::WithParamInterface<ExchangeRow> {};

TEST_P(DataExchange, ShowsStoredValueAndReadsItBackAtClosing) {
    const ExchangeRow& row = GetParam();
    dialog.targetIndex = 1;  // keeps the half-width box free
    dialog.*row.field = row.stored;
    Show();
    if (row.control[0] != '\0') {
        auto* button = Find<QAbstractButton>(row.control);
        if (auto* box = qobject_cast<QCheckBox*>(button)) {
            EXPECT_EQ(box->checkState(), row.readBack == 2 ? Qt::PartiallyChecked
                                         : row.readBack == 1 ? Qt::Checked : Qt::Unchecked);
        } else {
            EXPECT_TRUE(button->isChecked());
        }
    }
    dialog.*row.field = 12345;
    dialog.reject();
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_EQ(dialog.*row.field, row.readBack);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DataExchange,
    ::testing::Values(
        ExchangeRow{"backup checked", &ConvertDialog::backup, 1, "backupBox", 1},
        ExchangeRow{"backup indeterminate", &ConvertDialog::backup, 2, "backupBox", 2},
        ExchangeRow{"backup out of range", &ConvertDialog::backup, 5, "backupBox", 0},
        ExchangeRow{"backup negative", &ConvertDialog::backup, -3, "backupBox", 0},
        ExchangeRow{"save box checked", &ConvertDialog::saveSettings, 1, "saveSettingsBox", 1},
        ExchangeRow{"save box out of range", &ConvertDialog::saveSettings, 7, "saveSettingsBox", 0},
        ExchangeRow{"source EUC", &ConvertDialog::sourceIndex, 2, "source2", 2},
        ExchangeRow{"source UTF-7", &ConvertDialog::sourceIndex, 5, "source5", 5},
        ExchangeRow{"source of no button", &ConvertDialog::sourceIndex, 7, "", -1},
        ExchangeRow{"target UTF-8", &ConvertDialog::targetIndex, 4, "target4", 4},
        ExchangeRow{"target of no button", &ConvertDialog::targetIndex, 6, "", -1},
        ExchangeRow{"newline LF", &ConvertDialog::newlineIndex, 2, "newline2", 2},
        ExchangeRow{"newline of no button", &ConvertDialog::newlineIndex, -1, "", -1},
        ExchangeRow{"auto-detect out of range", &ConvertDialog::autoDetect, 5, "autoDetectBox", 0},
        ExchangeRow{"filter of first item", &ConvertDialog::filterIndex, 0, "", 0}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST_F(DialogTest, AutoDetectDisablesTheSourceButtonsButKeepsTheirChoice) {
    dialog.autoDetect = 1;
    dialog.sourceIndex = 2;
    Show();
    for (int i = 0; i < 6; ++i) EXPECT_FALSE(Find<QRadioButton>(("source" + std::to_string(i)).c_str())->isEnabled());
    EXPECT_TRUE(Find<QRadioButton>("source2")->isChecked());

    ClickIndicator(Find<QCheckBox>("autoDetectBox"));
    EXPECT_EQ(dialog.autoDetect, 0);
    for (int i = 0; i < 6; ++i) EXPECT_TRUE(Find<QRadioButton>(("source" + std::to_string(i)).c_str())->isEnabled());
    EXPECT_TRUE(Find<QRadioButton>("source2")->isChecked());
    EXPECT_EQ(dialog.sourceIndex, 2);

    ClickIndicator(Find<QRadioButton>("source5"));
    EXPECT_EQ(dialog.sourceIndex, 5);
}

TEST_F(DialogTest, EveryTargetButShiftJisForcesTheHalfWidthBoxOnAndShiftJisFreesIt) {
    dialog.targetIndex = 1;
    dialog.halfWidthKana = 0;
    Show();
    auto* box = Find<QCheckBox>("halfWidthKanaBox");
    EXPECT_TRUE(box->isEnabled());
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(dialog.halfWidthKana, 0);

    for (const char* target : {"target0", "target2", "target3", "target4", "target5"}) {
        ClickIndicator(Find<QRadioButton>("target1"));
        if (box->isChecked()) ClickIndicator(box);  // clear it while it may be
        ASSERT_FALSE(box->isChecked());
        ClickIndicator(Find<QRadioButton>(target));
        EXPECT_FALSE(box->isEnabled()) << target;
        EXPECT_TRUE(box->isChecked()) << target;
        EXPECT_EQ(dialog.halfWidthKana, 1) << target;
    }
    ClickIndicator(Find<QRadioButton>("target1"));
    EXPECT_TRUE(box->isEnabled());
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(dialog.targetIndex, 1);
    ClickIndicator(box);
    EXPECT_EQ(dialog.halfWidthKana, 0);
}

TEST_F(DialogTest, StoredTargetOtherThanShiftJisShowsTheHalfWidthBoxForced) {
    dialog.targetIndex = -1;
    dialog.halfWidthKana = 0;
    Show();
    EXPECT_FALSE(Find<QCheckBox>("halfWidthKanaBox")->isEnabled());
    EXPECT_EQ(dialog.halfWidthKana, 1);
}

// Enter from whichever control has the focus starts a run, and the next
// Enter (auto-repeated or not) cancels it.
class EnterKey : public DialogTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(EnterKey, StartsARunAndTheNextEnterCancelsIt) {
    const std::string big = LargeSjisText();
    WriteFile(dir / "big.txt", big);
    dialog.autoDetect = 1;
    dialog.targetIndex = 4;
    Show();
    dialog.AddPath(dir / "big.txt");
    Find<QWidget>(GetParam())->setFocus();
    ASSERT_TRUE(WaitFor([&] { return QApplication::focusWidget() == Find<QWidget>(GetParam()); }));

    PressEnter();
    EXPECT_TRUE(dialog.IsBusy());
    EXPECT_EQ(Find<QPushButton>("startButton")->text().toStdString(), "中 断");
    EXPECT_FALSE(Find<QPushButton>("exitButton")->isEnabled());
    PressEnter(/*autoRepeat=*/true);
    ASSERT_TRUE(WaitForIdle());

    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "Cancel");
    EXPECT_EQ(messages[0].text, "ユーザーの指示により変換処理を\n中断しました。");
    EXPECT_EQ(ReadFile(dir / "big.txt"), big);
    EXPECT_FALSE(HasTemporaryFile(dir.Path()));
    EXPECT_EQ(Find<QPushButton>("startButton")->text().toStdString(), "変 換");
    EXPECT_EQ(Find<QLabel>("statusLine")->text().toStdString(), "選択中");
}

INSTANTIATE_TEST_SUITE_P(FocusedControls, EnterKey,
                         ::testing::Values("startButton", "exitButton", "fileList", "filterBox", "autoDetectBox",
                                           "target4", "saveSettingsBox"));

TEST_F(DialogTest, EnterWithAnEmptyListStartsNothing) {
    Show();
    Find<QWidget>("startButton")->setFocus();
    PressEnter();
    EXPECT_FALSE(dialog.IsBusy());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Find<QProgressBar>("progressBar")->value(), 0);
    EXPECT_EQ(Find<QPushButton>("startButton")->text().toStdString(), "変 換");
}

TEST_F(DialogTest, EveryWayOfClosingIsRefusedWhileARunIsBusy) {
    const std::string big = LargeSjisText();
    WriteFile(dir / "big.txt", big);
    dialog.targetIndex = 2;
    Show();
    dialog.AddPath(dir / "big.txt");
    QTest::mouseClick(Find<QPushButton>("startButton"), Qt::LeftButton);
    ASSERT_TRUE(dialog.IsBusy());

    QTest::mouseClick(Find<QPushButton>("exitButton"), Qt::LeftButton);  // disabled
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(dialog.close());  // the close box and the window manager
    dialog.reject();
    dialog.accept();
    dialog.done(1);
    EXPECT_TRUE(dialog.isVisible());

    dialog.StartOrCancelJob();
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(ReadFile(dir / "big.txt"), big);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 1);
}

// Every idle close ends with result 1, so start-up saves or removes the settings.
TEST_F(DialogTest, ExitEscapeAndTheCloseBoxAllEndWithResultOne) {
    for (int way = 0; way < 3; ++way) {
        ConvertDialog window;
        window.Initialise();
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        if (way == 0) QTest::mouseClick(window.findChild<QPushButton*>("exitButton"), Qt::LeftButton);
        if (way == 1) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        if (way == 2) window.close();
        EXPECT_FALSE(window.isVisible()) << way;
        EXPECT_EQ(window.result(), 1) << way;
    }
}

TEST_F(DialogTest, RunFromADropConvertsEachFileFromItsCodeAndRefreshesTheLabels) {
    WriteFile(dir / "a.txt", kSjis);
    WriteFile(dir / "b.txt", kEuc);
    WriteFile(dir / "c.dat", std::string("\x00\x01\x02\x03 binary\n", 13));
    dialog.autoDetect = 1;
    dialog.targetIndex = 1;
    Show();
    DropFiles(&dialog, {dir.Path()});
    ASSERT_EQ(Names(), (std::vector<std::string>{"c.dat", "b.txt", "a.txt"}));
    EXPECT_EQ(Labels(), (std::vector<std::string>{"binary", "EUC", "Shift-JIS"}));

    ClickIndicator(Find<QRadioButton>("target4"));
    ClickIndicator(Find<QRadioButton>("newline0"));
    QTest::mouseClick(Find<QPushButton>("startButton"), Qt::LeftButton);
    ASSERT_TRUE(WaitForIdle());

    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Labels(), (std::vector<std::string>{"binary", "UTF-8", "UTF-8"}));
    EXPECT_EQ(ReadFile(dir / "a.txt"), kUtf8);
    EXPECT_EQ(ReadFile(dir / "b.txt"), kEucAsUtf8);
    EXPECT_FALSE(fs::exists(dir / "a.txt.bak"));
    auto* bar = Find<QProgressBar>("progressBar");
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(Find<QLabel>("statusLine")->text().toStdString(), "選択中");
}

TEST_F(DialogTest, RunOverOnlyBinaryFilesEndsWithoutAMessage) {
    WriteFile(dir / "a.dat", std::string("\x00\x01\x02\x03 binary\n", 13));
    dialog.targetIndex = 4;
    Show();
    dialog.AddPath(dir / "a.dat");
    dialog.StartOrCancelJob();
    ASSERT_TRUE(WaitForIdle());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Labels(), (std::vector<std::string>{"binary"}));
    EXPECT_EQ(Find<QProgressBar>("progressBar")->value(), 0);
}

TEST_F(DialogTest, OptionsChangedDuringARunApplyToTheNextRun) {
    const std::string big = LargeSjisText();
    WriteFile(dir / "big.txt", big);
    dialog.autoDetect = 1;
    dialog.targetIndex = 2;
    dialog.backup = 0;
    Show();
    dialog.AddPath(dir / "big.txt");
    dialog.StartOrCancelJob();
    ClickIndicator(Find<QCheckBox>("backupBox"));
    ClickIndicator(Find<QRadioButton>("target4"));
    EXPECT_EQ(dialog.backup, 1);
    ASSERT_TRUE(WaitForIdle());
    EXPECT_FALSE(fs::exists(dir / "big.txt.bak"));
    EXPECT_EQ(Labels(), (std::vector<std::string>{"EUC"}));
}

TEST_F(DialogTest, FileThatCannotBeConvertedEndsTheRunWithTheErrorMessage) {
    WriteFile(dir / "a.txt", kUndecided);
    dialog.autoDetect = 1;
    dialog.targetIndex = 4;
    Show();
    dialog.AddPath(dir / "a.txt");
    ASSERT_EQ(Labels(), (std::vector<std::string>{"不明"}));
    dialog.StartOrCancelJob();
    ASSERT_TRUE(WaitForIdle());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "Error");
    EXPECT_EQ(messages[0].text, "変換出来ないまたはディスクの\n容量が足りません。");
    EXPECT_EQ(ReadFile(dir / "a.txt"), kUndecided);
}

TEST_F(DialogTest, AboutBoxOpensTheWebPageOnlyThroughItsAddressButton) {
    Show();
    auto* about = dialog.findChild<QAction*>("aboutAction");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->text().toStdString(), "バージョン情報(ruv) (&A)...");
    aboutResult = AboutDialog::RESULT_CLOSED;
    about->trigger();
    EXPECT_TRUE(opened.empty());
    aboutResult = AboutDialog::RESULT_OPEN_PAGE;
    about->trigger();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "https://ruv.torvane.example/");
}

TEST(AboutDialog, OkEscapeAndTheCloseBoxEndWithTwoAndTheAddressWithOne) {
    for (int way = 0; way < 4; ++way) {
        AboutDialog about;
        about.show();
        about.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
        if (way == 0) QTest::mouseClick(about.findChild<QPushButton*>("okButton"), Qt::LeftButton);
        if (way == 1) QTest::keyClick(&about, Qt::Key_Escape);
        if (way == 2) about.close();
        if (way == 3) QTest::mouseClick(about.findChild<QPushButton*>("addressButton"), Qt::LeftButton);
        EXPECT_FALSE(about.isVisible()) << way;
        EXPECT_EQ(about.result(), way == 3 ? 1 : 2) << way;
    }
}

}  // namespace
}  // namespace ruv::test
