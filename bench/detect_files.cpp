// ruv_detect_files PATH...: detects every file given, one after another in one
// process as ruv-cli's registration does (open, read the head, classify), and
// prints the time per file and how many files took each label, for timing
// beside nkf --guess and uchardet (bench/detect_speed.sh).
#include <chrono>
#include <cstdio>
#include <map>
#include <string>

#include "detect/code_labels.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PATH...\n", argv[0]);
        return 2;
    }
    std::map<std::string, int> counts;
    std::string label;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 1; i < argc; ++i) {
        ruv::DetectFileLabel(argv[i], label);
        ++counts[label];
    }
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;
    const int files = argc - 1;
    std::printf("%d files in %.1f ms: %.4f ms a file\n", files, elapsed.count(),
                elapsed.count() / files);
    for (const auto& [name, count] : counts) std::printf("%s\t%d\n", name.c_str(), count);
    return 0;
}
