// Timing of what the window does on its own thread for a large batch:
// registering a folder of 10,000 files (each looked up, inserted in the
// sorted list and detected) and refreshing all 10,000 labels after a run.
//
// Usage: ruv_registration_bench [FILES] [FOLDER]
// Writes FILES small Shift_JIS / EUC-JP / UTF-8 files into FOLDER (a fresh
// temporary folder by default), times each step five times and prints the
// best and the median.  Goal: under 2 s each.
#include <QApplication>
#include <QTreeWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "ui/convert_dialog.h"

namespace {

namespace fs = std::filesystem;

// Three codes in turn, each a line of ordinary Japanese text.
const char* const kSamples[3] = {
    "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x65\x83\x4C\x83\x58\x83\x67\x82\xC5\x82\xB7\x81\x42\r\n",
    "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xA5\xC6\xA5\xAD\xA5\xB9\xA5\xC8\xA4\xC7\xA4\xB9\xA1\xA3\r\n",
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE3\x83\x86\xE3\x82\xAD\xE3\x82\xB9\xE3\x83"
    "\x88\r\n",
};

void WriteFolder(const fs::path& folder, int count) {
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        std::ofstream out(folder / ("file" + std::to_string(i) + ".txt"), std::ios::binary);
        for (int line = 0; line < 40; ++line) out << kSamples[i % 3];
    }
}

// Best and median of five timings, in milliseconds.
void Report(const char* what, const std::function<void()>& prepare,
            const std::function<void()>& step) {
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        step();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    std::printf("%-40s best %8.1f ms   median %8.1f ms\n", what, times.front(),
                times[times.size() / 2]);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const fs::path folder =
        argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path() / "ruv-registration-bench";
    int qtArgc = 1;
    QApplication app(qtArgc, argv);

    fs::remove_all(folder);
    WriteFolder(folder, count);
    ruv::ConvertDialog dialog;
    dialog.Initialise();
    QTreeWidget* list = dialog.findChild<QTreeWidget*>(QStringLiteral("fileList"));

    const std::string files = std::to_string(count) + " files";
    Report(("register a folder of " + files).c_str(), [&] { dialog.ClearFiles(); },
           [&] { dialog.AddPath(folder); });
    std::printf("  listed: %d\n", list->topLevelItemCount());
    Report(("refresh the labels of " + files).c_str(), [] {}, [&] { dialog.RefreshLabels(); });
    Report(("register " + files + " one drop each").c_str(), [&] { dialog.ClearFiles(); },
           [&] {
               for (int i = 0; i < count; ++i)
                   dialog.AddPath(folder / ("file" + std::to_string(i) + ".txt"));
           });
    fs::remove_all(folder);
    return 0;
}
