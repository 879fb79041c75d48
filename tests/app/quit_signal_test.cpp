// A process told to quit while a run is busy cancels the run and waits for
// its worker before the window closes: the file under way stays exactly as it
// was and no temporary file is left.
#include <gtest/gtest.h>

#include <signal.h>

#include <QApplication>
#include <QSettings>
#include <QTimer>

#include "app/converter_app.h"

#include "app/quit_signals.h"
#include "job/in_place_converter.h"
#include "support/temp_dir.h"
#include "ui/convert_dialog.h"
#include "ui/qt_test_app.h"

namespace ruv::test {
namespace {

namespace fs = std::filesystem;

class QuitWhileBusy : public ::testing::TestWithParam<int> {};

TEST_P(QuitWhileBusy, CancelsTheRunAndLeavesTheFileUnderWayAsItWas) {
    TempDir dir;
    const std::string big = LargeSjisText();
    WriteFile(dir / "big.txt", big);
    ConvertDialog dialog;
    int messages = 0;
    dialog.services.showMessage = [&](QWidget*, const QString&, const QString&) { ++messages; };
    dialog.autoDetect = 1;
    dialog.targetIndex = 4;
    dialog.commandLine = {(dir / "big.txt").string()};
    dialog.Initialise();
    dialog.show();
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &dialog, &ConvertDialog::CancelAndClose);

    dialog.StartOrCancelJob();
    ASSERT_TRUE(dialog.IsBusy());
    ASSERT_EQ(::raise(GetParam()), 0);
    ASSERT_TRUE(WaitFor([&] { return !dialog.isVisible(); }));

    EXPECT_FALSE(dialog.IsBusy());
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_EQ(messages, 0);
    EXPECT_EQ(ReadFile(dir / "big.txt"), big);
    EXPECT_FALSE(fs::exists(dir.Path().string() + "/big.txt" + TEMP_SUFFIX));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(Signals, QuitWhileBusy, ::testing::Values(SIGTERM, SIGHUP, SIGINT));

// The whole program: the window runs modally, a run starts, SIGTERM arrives.
TEST(ConverterApp, SigtermDuringARunEndsTheProgramWithTheFileUnderWayIntact) {
    TempDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString((dir / "config").string()));
    const std::string big = LargeSjisText();
    WriteFile(dir / "big.txt", big);
    bool busy = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<ConvertDialog*>(window);
            if (dialog == nullptr || !dialog->isVisible()) continue;
            dialog->StartOrCancelJob();
            busy = dialog->IsBusy();
            ::raise(SIGTERM);
        }
    });
    EXPECT_EQ(ConverterApp().Run({(dir / "big.txt").string()}), 0);
    EXPECT_TRUE(busy);
    EXPECT_EQ(ReadFile(dir / "big.txt"), big);
    EXPECT_FALSE(fs::exists(dir.Path().string() + "/big.txt" + TEMP_SUFFIX));
    EXPECT_FALSE(fs::exists(dir / "config"));  // a first run with the box clear leaves nothing
}

}  // namespace
}  // namespace ruv::test
