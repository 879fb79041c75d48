#include "cli/run_summary.h"

#include <cstdint>

namespace ruv {

std::string SummaryLine(const JobReport& report, bool dryRun) {
    std::uint64_t lost = 0;
    for (const LostCharacters& file : report.lost) lost += file.count;
    std::string line =
        std::to_string(report.converted) + (dryRun ? " would change, " : " converted, ") +
        std::to_string(report.unchanged.size()) + " unchanged, " +
        std::to_string(report.skipped.size()) + " skipped, " + std::to_string(lost) +
        (lost == 1 ? " character" : " characters") + (dryRun ? " would be lost" : " lost");
    if (!report.failures.empty()) {
        line +=
            ", " + std::to_string(report.failures.size()) + (dryRun ? " would fail" : " failed");
    }
    return line;
}

}  // namespace ruv
