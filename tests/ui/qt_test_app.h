// The QApplication of the window tests, created once for the program with an
// offscreen platform and private configuration and runtime folders, and the
// helpers the tests drive the window with.  A modal window that stays open
// fails the test and is closed, so nothing waits for input that never comes.
#pragma once

#include <QList>
#include <QUrl>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class QAbstractButton;
class QTreeWidget;
class QWidget;

namespace ruv::test {

// Runs the event loop until done() holds or the time is up; done()'s last value.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 20000);

// A drag that enters the widget, then the drop of the files.
void DropFiles(QWidget* target, const std::vector<std::filesystem::path>& paths);

// Clicks a check box or radio button on its indicator.
void ClickIndicator(QAbstractButton* button);

// Presses Enter on whatever control has the focus.
void PressEnter(bool autoRepeat = false);

// Column texts of the list, top to bottom.
std::vector<std::string> ColumnTexts(const QTreeWidget* list, int column);

// A Shift_JIS text file large enough that a run over it is still busy when
// the test acts on it.
std::string LargeSjisText();

}  // namespace ruv::test
