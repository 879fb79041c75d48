// The QApplication of the window tests (offscreen, private configuration and
// runtime folders; a modal window left open fails the test and is closed), the
// helpers that drive the window, and the one fixture: a window under test with
// its message boxes and file chooser replaced by recorders, and a temporary
// folder for its files.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "ui/convert_dialog.h"

namespace ruv::test {

// A drag that enters the widget, then the drop of the files; whether the
// widget accepted the drag.
bool DropFiles(QWidget* target, const std::vector<std::filesystem::path>& paths);
// Presses Enter on whatever control has the focus.
void PressEnter(bool autoRepeat = false);
// The names in a folder, sorted: shows a temporary file left behind.
std::vector<std::string> FolderNames(const std::filesystem::path& folder);
// Shift_JIS text large enough that a run over it is still busy when the test acts.
std::string LargeSjisText();

using Strings = std::vector<std::string>;

const std::string kSjis = "\x93\xFA\x96\x7B\x8C\xEA\x82\xC5\x82\xB7\x81\x42\r\n";  // 日本語です。

class DialogTest : public ::testing::Test {
protected:
    DialogTest() {
        dialog.services.showMessage = [this](QWidget*, const QString& text,
                                             const QString& caption) {
            messages.push_back(caption.toStdString() + ": " + text.toStdString());
        };
        dialog.services.chooseFiles = [this](QWidget*, const QString& folder,
                                             const QString& filter) {
            filters.push_back(filter.toStdString());
            folders.push_back(folder.toStdString());
            return chosen;
        };
    }

    // Initialises and shows the window, active, as start-up would.
    void Show() {
        dialog.Initialise();
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    template <typename T = QAbstractButton>
    T* Find(const std::string& name) {
        T* widget = dialog.findChild<T*>(QString::fromStdString(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void Click(const std::string& name) { Find(name)->click(); }

    QTreeWidget* List() { return Find<QTreeWidget>("fileList"); }
    Strings Column(int column) {
        std::vector<std::string> texts;
        for (int i = 0; i < List()->topLevelItemCount(); ++i) {
            texts.push_back(List()->topLevelItem(i)->text(column).toStdString());
        }
        return texts;
    }
    Strings Names() { return Column(0); }
    Strings Labels() { return Column(1); }

    // Waits until the run has ended and the window shows it.
    bool WaitForIdle() {
        return QTest::qWaitFor(
            [this] { return !dialog.IsBusy() && Find("exitButton")->isEnabled(); }, 20000);
    }

    TempDir dir;
    ConvertDialog dialog;
    Strings messages;  // "caption: text"
    Strings filters;
    Strings folders;  // where the chooser opened
    QStringList chosen;
};

}  // namespace ruv::test
