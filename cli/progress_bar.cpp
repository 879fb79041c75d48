#include "cli/progress_bar.h"

#include <unistd.h>

namespace ruv {
namespace {

constexpr int BAR_WIDTH = 30;
constexpr std::size_t NAME_WIDTH = 40;

}  // namespace

ProgressBar::ProgressBar(std::FILE* out) : out_(out), enabled_(::isatty(::fileno(out)) != 0) {}

void ProgressBar::Show(std::uint32_t position, std::uint32_t maximum, const std::string& name) {
    if (!enabled_) return;
    const std::uint64_t permille = maximum == 0 ? 1000 : std::uint64_t{position} * 1000 / maximum;
    const int filled = static_cast<int>(permille * BAR_WIDTH / 1000);
    std::string shortName = name;
    if (shortName.size() > NAME_WIDTH) shortName = "..." + shortName.substr(shortName.size() - NAME_WIDTH + 3);
    std::fprintf(out_, "\r[%.*s%*s] %3u%% %-*s", filled, "##############################",
                 BAR_WIDTH - filled, "", static_cast<unsigned>(permille / 10),
                 static_cast<int>(NAME_WIDTH), shortName.c_str());
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
