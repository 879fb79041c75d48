// The line that closes a run over several files.
#pragma once

#include <string>

#include "job/conversion_worker.h"

namespace ruv {

// What the run did, as "12 converted, 3 unchanged, 1 skipped, 5 characters
// lost"; ", 2 failed" follows when files failed.  Unchanged files are those
// already right (JobReport::unchanged); skipped ones were binary or unreadable.
// For a dry run, what a run would do: "12 would change, 3 unchanged, 1
// skipped, 5 characters would be lost, 2 would fail" (`converted` counting the
// files that would change).
std::string SummaryLine(const JobReport& report, bool dryRun = false);

}  // namespace ruv
