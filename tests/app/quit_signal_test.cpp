// The whole program told to quit (SIGTERM) while a run is busy: the run is
// cancelled and its worker waited for, so the file under way stays exactly as
// it was and no temporary file is left.  SIGHUP and SIGINT take the same path.
#include <signal.h>

#include <QSettings>
#include <QTimer>

#include "app/converter_app.h"
#include "ui/qt_test_app.h"

namespace ruv::test {
namespace {

TEST(ConverterApp, SigtermDuringARunCancelsItAndEndsTheProgramWithTheFileIntact) {
    TempDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString((dir / "config").string()));
    const std::string big = LargeSjisText();
    WriteFile(dir / "big.txt", big);
    bool busy = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<ConvertDialog*>(window);
            if (dialog == nullptr || !dialog->isVisible()) continue;
            dialog->StartOrCancelJob();  // a message box on cancelling would fail the test as a
                                         // stray modal
            busy = dialog->IsBusy();
            ::raise(SIGTERM);
        }
    });
    EXPECT_EQ(ConverterApp().Run({(dir / "big.txt").string()}), 0);
    EXPECT_TRUE(busy);
    EXPECT_EQ(ReadFile(dir / "big.txt"), big);
    EXPECT_EQ(FolderNames(dir.Path()),
              std::vector<std::string>{"big.txt"});  // nor config: the box was clear
}

}  // namespace
}  // namespace ruv::test
