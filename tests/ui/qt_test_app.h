// The QApplication of the window tests (offscreen, private configuration and
// runtime folders; a modal window left open fails the test and is closed) and
// the helpers that drive the window.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class QWidget;

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

}  // namespace ruv::test
