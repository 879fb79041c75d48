// A one-line progress bar on a terminal: the bar, the percentage and the name
// of the file under way, redrawn in place and wiped at the end.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace ruv {

class ProgressBar {
public:
    // Draws on `out` only when it is a terminal.
    explicit ProgressBar(std::FILE* out);
    ~ProgressBar() { Clear(); }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void Show(std::uint32_t position, std::uint32_t maximum, const std::string& name);
    void Clear();

private:
    std::FILE* out_;
    bool enabled_;
    bool shown_ = false;
};

}  // namespace ruv
