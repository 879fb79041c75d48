// The settings between runs: what is read back, when they are wiped and when
// they leave no trace.  Every test points the store at its own folder.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QSettings>
#include <QTreeWidget>

#include <tuple>

#include "app/converter_app.h"
#include "app/settings_store.h"
#include "support/temp_dir.h"
#include "ui/convert_dialog.h"

namespace ruv::test {
namespace {

namespace fs = std::filesystem;

class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(dir.Path().string()));
    }

    fs::path Maker() const { return dir / "Torvane"; }
    QSettings Store() const {
        return {QSettings::NativeFormat, QSettings::UserScope, "Torvane", "ruv"};
    }
    int Stored(const char* key) const { return Store().value(key, -999).toInt(); }

    // One life of the window: start-up, at most a click on the box that keeps
    // the settings, a close.  Records what the window started with.
    void RunWindow(bool clickSaveBox = false, QSize size = {}) {
        ConvertDialog dialog;
        ConverterApp().StartUp(dialog);
        started = {dialog.autoDetect,    dialog.halfWidthKana, dialog.backup,
                   dialog.sourceIndex,   dialog.targetIndex,   dialog.newlineIndex,
                   dialog.fileNameWidth, dialog.codeWidth,     dialog.fullPathWidth,
                   dialog.windowGeometry};
        startedChecked = dialog.saveSettings;
        dialog.Initialise();
        startedSize = dialog.size();
        if (size.isValid()) {
            dialog.resize(size);
            dialog.findChild<QTreeWidget*>("fileList")->setColumnWidth(0, size.width() / 4);
        }
        if (clickSaveBox) dialog.findChild<QAbstractButton*>("saveSettingsBox")->click();
        dialog.reject();
        ConverterApp().ShutDown(dialog, dialog.result());
    }

    TempDir dir;
    StoredSettings started;
    int startedChecked = -1;
    QSize startedSize;
};

TEST_F(SettingsTest, StoredValuesComeBackAndAreWrittenBackWithoutTheColumnWidths) {
    {
        QSettings store = Store();
        WriteSettings(store, StoredSettings{0, 0, 0, 5, 3, 2, 1, 1, 1, {}});
        store.remove("Settings/Window");  // a store written before the window's size was kept
        store.remove("Version");          // a store without the marker counts as current
        store.setValue("Settings/List/filename", 250);
    }
    RunWindow();
    EXPECT_EQ(startedChecked, 1);
    EXPECT_EQ(
        std::tuple(started.autoDetect, started.backup, started.sourceIndex, started.targetIndex,
                   started.newlineIndex, started.fileNameWidth, started.codeWidth),
        std::tuple(0, 0, 5, 3, 2, 250, 75));
    EXPECT_EQ(Stored("Version/Registry"), 200);
    EXPECT_EQ(Stored("Settings/Button/InputText"), 5);
    EXPECT_EQ(Stored("Settings/Button/HANZEN"), 0);  // kept, though a Unicode target shows it clear
    EXPECT_EQ(Stored("Settings/List/filename"), 250);
    EXPECT_FALSE(Store().contains("Settings/List/kanjicode"));
}

TEST_F(SettingsTest, StoredLayoutOfAnotherVersionIsWipedBeforeAnythingIsRead) {
    WriteFile(Maker() / "ruv.conf", "[Version]\nRegistry=150\n[Settings]\nButton\\InputText=3\n");
    RunWindow();
    EXPECT_EQ(startedChecked, 1);
    EXPECT_EQ(started.sourceIndex, 1);
    EXPECT_EQ(Stored("Version/Registry"), 200);
    EXPECT_EQ(Stored("Settings/Button/InputText"), 1);
}

// A first run with the box clear leaves no trace; checked, the options, the
// window's size and the column widths come back; cleared, all of it goes, but
// not another application's settings.
TEST_F(SettingsTest, ALifeOfTheBoxKeepsEverythingWhileCheckedAndLeavesNoTraceOtherwise) {
    RunWindow();
    EXPECT_EQ(std::tuple(startedChecked, started.sourceIndex), std::tuple(0, 1));
    EXPECT_FALSE(fs::exists(Maker()));
    RunWindow(/*clickSaveBox=*/true, QSize(900, 700));
    EXPECT_TRUE(Store().contains("Settings/Window/Geometry"));
    EXPECT_EQ(Store().value("Settings/Window/ColumnWidths").toString().toStdString(), "225,75,200");
    EXPECT_FALSE(
        Store().contains("Settings/List/filename"));  // the old keys keep their meaning: read only
    WriteFile(Maker() / "other.conf", "[General]\nkept=1\n");
    RunWindow(/*clickSaveBox=*/true);
    EXPECT_EQ(std::tuple(startedChecked, started.fileNameWidth, startedSize),
              std::tuple(1, 225, QSize(900, 700)));
    EXPECT_FALSE(fs::exists(Maker() / "ruv.conf"));
    EXPECT_TRUE(fs::exists(Maker() / "other.conf"));
}

TEST_F(SettingsTest, ValuesThatAreNotIntegersReadAsDefaults) {
    WriteFile(Maker() / "ruv.conf",
              "[Settings]\nButton\\Auto=yes\nButton\\InputText=99999999999\nButton\\CRLF=7\n");
    QSettings store = Store();
    const StoredSettings read = ReadSettings(store);
    EXPECT_EQ(std::tuple(read.autoDetect, read.sourceIndex, read.newlineIndex),
              std::tuple(1, 1, 7));
}

}  // namespace
}  // namespace ruv::test
