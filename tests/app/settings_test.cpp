// The settings between runs: where they go, what is read back, when they are
// wiped and when they leave no trace.  Every test points the store at its own
// temporary folder.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QSettings>
#include <QTest>

#include "app/converter_app.h"
#include "app/settings_store.h"
#include "support/temp_dir.h"
#include "ui/qt_test_app.h"
#include "ui/convert_dialog.h"

namespace ruv::test {
namespace {

namespace fs = std::filesystem;

class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(dir.Path().string()));
    }

    fs::path Maker() const { return dir / "Torvane"; }
    fs::path File() const { return Maker() / "ruv.conf"; }
    QSettings Store() const { return {QSettings::NativeFormat, QSettings::UserScope, "Torvane", "ruv"}; }
    int Stored(const char* key) const { return Store().value(key, -999).toInt(); }

    // One whole life of the window: start-up, the user's changes, a close.
    void RunWindow(const std::function<void(ConvertDialog&)>& user) {
        ConvertDialog dialog;
        app.StartUp(dialog);
        started = StoredSettings{dialog.autoDetect, dialog.halfWidthKana, dialog.backup, dialog.sourceIndex,
                                 dialog.targetIndex, dialog.newlineIndex, dialog.fileNameWidth,
                                 dialog.codeWidth, dialog.fullPathWidth};
        startedChecked = dialog.saveSettings;
        dialog.Initialise();
        user(dialog);
        dialog.reject();
        app.ShutDown(dialog, dialog.result());
    }

    TempDir dir;
    ConverterApp app;
    StoredSettings started;
    int startedChecked = -1;
};

TEST_F(SettingsTest, FirstRunWithTheBoxLeftClearLeavesNoFileAndNoMakerFolder) {
    RunWindow([](ConvertDialog&) {});
    EXPECT_EQ(startedChecked, 0);
    EXPECT_EQ(started.sourceIndex, 1);
    EXPECT_EQ(started.autoDetect, 1);
    EXPECT_FALSE(fs::exists(Maker()));
}

TEST_F(SettingsTest, FirstRunWithTheBoxCheckedStoresTheMarkerAndTheSixOptionsOnly) {
    RunWindow([](ConvertDialog& d) {
        ClickIndicator(d.findChild<QCheckBox*>("saveSettingsBox"));
    });
    ASSERT_TRUE(fs::exists(File()));
    EXPECT_EQ(Stored("Version/Registry"), 200);
    EXPECT_EQ(Stored("Settings/Button/Auto"), 1);
    EXPECT_EQ(Stored("Settings/Button/InputText"), 1);
    EXPECT_EQ(Stored("Settings/Button/OutputText"), 1);
    EXPECT_EQ(Stored("Settings/Button/CRLF"), 0);
    EXPECT_FALSE(Store().contains("Settings/List/filename"));
}

TEST_F(SettingsTest, StoredValuesComeBackInTheNextRun) {
    {
        QSettings store = Store();
        WriteSettings(store, StoredSettings{0, 0, 0, 5, 3, 2, 1, 1, 1});
        store.setValue("Settings/List/filename", 250);
    }
    RunWindow([](ConvertDialog&) {});
    EXPECT_EQ(startedChecked, 1);
    EXPECT_EQ(started.autoDetect, 0);
    EXPECT_EQ(started.backup, 0);
    EXPECT_EQ(started.sourceIndex, 5);
    EXPECT_EQ(started.targetIndex, 3);
    EXPECT_EQ(started.newlineIndex, 2);
    EXPECT_EQ(started.fileNameWidth, 250);
    EXPECT_EQ(started.codeWidth, 75);
    // Written back as the window left them (a Unicode target forces the kana box on).
    EXPECT_EQ(Stored("Settings/Button/InputText"), 5);
    EXPECT_EQ(Stored("Settings/Button/HANZEN"), 1);
    EXPECT_EQ(Stored("Settings/List/filename"), 250);
}

TEST_F(SettingsTest, StoredLayoutOfAnotherVersionIsWipedAtStart) {
    {
        QSettings store = Store();
        store.setValue("Version/Registry", 150);
        store.setValue("Settings/Button/InputText", 3);
    }
    ConvertDialog dialog;
    app.StartUp(dialog);
    EXPECT_FALSE(fs::exists(File()));
    EXPECT_EQ(dialog.saveSettings, 1);
    EXPECT_EQ(dialog.sourceIndex, 1);
    dialog.Initialise();
    dialog.reject();
    app.ShutDown(dialog, dialog.result());
    EXPECT_EQ(Stored("Version/Registry"), 200);
    EXPECT_EQ(Stored("Settings/Button/InputText"), 1);
}

TEST_F(SettingsTest, StoreWithoutAMarkerCountsAsCurrent) {
    {
        QSettings store = Store();
        store.setValue("Settings/Button/CRLF", 1);
    }
    RunWindow([](ConvertDialog&) {});
    EXPECT_EQ(started.newlineIndex, 1);
    EXPECT_EQ(Stored("Version/Registry"), 200);
}

TEST_F(SettingsTest, ClearingTheBoxRemovesTheSettingsButKeepsAnotherApplicationsFolder) {
    {
        QSettings store = Store();
        WriteSettings(store, StoredSettings{});
        QSettings other(QSettings::NativeFormat, QSettings::UserScope, "Torvane", "other");
        other.setValue("kept", 1);
    }
    RunWindow([](ConvertDialog& d) {
        ClickIndicator(d.findChild<QCheckBox*>("saveSettingsBox"));
    });
    EXPECT_FALSE(fs::exists(File()));
    EXPECT_TRUE(fs::exists(Maker() / "other.conf"));
}

TEST_F(SettingsTest, ValuesThatAreNotIntegersReadAsDefaultsAndOthersAsStored) {
    fs::create_directories(Maker());
    WriteFile(File(),
              "[Settings]\nButton\\Auto=yes\nButton\\InputText=99999999999\nButton\\CRLF=7\n"
              "Button\\OutputText=-1\nList\\kanjicode=abc\n");
    QSettings store = Store();
    const StoredSettings read = ReadSettings(store);
    EXPECT_EQ(read.autoDetect, 1);
    EXPECT_EQ(read.sourceIndex, 1);
    EXPECT_EQ(read.newlineIndex, 7);
    EXPECT_EQ(read.targetIndex, -1);
    EXPECT_EQ(read.codeWidth, 75);
}

}  // namespace
}  // namespace ruv::test
