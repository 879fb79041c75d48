#include "cli/progress_bar.h"

#include <unistd.h>

#include "cli/printable_name.h"

namespace ruv {
namespace {

constexpr int BAR_WIDTH = 30;
constexpr std::size_t NAME_WIDTH = 40;  // bytes

}  // namespace

ProgressBar::ProgressBar(std::FILE* out) : out_(out), enabled_(::isatty(::fileno(out)) != 0) {}

void ProgressBar::Show(std::uint32_t position, std::uint32_t maximum, const std::string& name) {
    if (!enabled_) return;
    // Before the worker has measured the files the range is empty: nothing is done yet.
    const std::uint64_t permille = maximum == 0 ? 0 : std::uint64_t{position} * 1000 / maximum;
    const int filled = static_cast<int>(permille * BAR_WIDTH / 1000);
    std::string shortName = PrintableName(name);
    if (shortName.size() > NAME_WIDTH) {
        // Keep the end of the name, cut where a character starts.
        std::size_t from = shortName.size() - NAME_WIDTH + 3;
        while (from < shortName.size() &&
               (static_cast<unsigned char>(shortName[from]) & 0xC0) == 0x80)
            ++from;
        shortName = "..." + shortName.substr(from);
    }
    // Wiped to the end of the line after the text: a wide name drawn before may
    // have taken more columns than this one.
    std::fprintf(out_, "\r[%.*s%*s] %3u%% %s\033[K", filled, "##############################",
                 BAR_WIDTH - filled, "", static_cast<unsigned>(permille / 10), shortName.c_str());
    std::fflush(out_);
    shown_ = true;
}

void ProgressBar::Clear() {
    if (!shown_) return;
    std::fprintf(out_, "\r\033[K");
    std::fflush(out_);
    shown_ = false;
}

}  // namespace ruv
