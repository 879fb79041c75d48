// A window under test with its message boxes, file chooser, about box and
// browser replaced by recorders, and a temporary folder for its files.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTreeWidget>

#include <string>
#include <vector>

#include "qt_test_app.h"
#include "support/temp_dir.h"
#include "ui/convert_dialog.h"

namespace ruv::test {

struct Message {
    std::string text;
    std::string caption;
};

class DialogTest : public ::testing::Test {
protected:
    DialogTest() {
        dialog.services.showMessage = [this](QWidget*, const QString& text, const QString& caption) {
            messages.push_back({text.toStdString(), caption.toStdString()});
        };
        dialog.services.chooseFile = [this](QWidget*, const QString& filter) {
            filters.push_back(filter.toStdString());
            return chosen;
        };
        dialog.services.runAboutBox = [this](QWidget*) { return aboutResult; };
        dialog.services.openUrl = [this](const QUrl& url) { opened.push_back(url.toString().toStdString()); };
    }

    // Initialises and shows the window, active, as start-up would.
    void Show() {
        dialog.Initialise();
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    template <typename T>
    T* Find(const char* name) {
        T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    QTreeWidget* List() { return Find<QTreeWidget>("fileList"); }
    std::vector<std::string> Names() { return ColumnTexts(List(), 0); }
    std::vector<std::string> Labels() { return ColumnTexts(List(), 1); }

    // Waits until the run has ended and the window shows it.
    bool WaitForIdle() {
        return WaitFor([this] { return !dialog.IsBusy() && dialog.findChild<QWidget*>("exitButton")->isEnabled(); });
    }

    TempDir dir;
    ConvertDialog dialog;
    std::vector<Message> messages;
    std::vector<std::string> filters;
    std::vector<std::string> opened;
    QString chosen;
    int aboutResult = 2;
};

}  // namespace ruv::test
