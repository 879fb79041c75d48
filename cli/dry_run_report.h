// ruv-cli's -n/--dry-run and --check: every registered file is converted into
// nothing, in registration order, and described in one line on standard
// output; no file, temporary file or backup is written, no time touched.
#pragma once

#include <iosfwd>
#include <vector>

#include "cli/cli_options.h"
#include "job/conversion_worker.h"

namespace ruv {

// The states a file's line gives.
inline constexpr const char* DRY_CHANGES = "changes";      // a run would rewrite it
inline constexpr const char* DRY_UNCHANGED = "unchanged";  // already in the target code
inline constexpr const char* DRY_SKIPPED = "skipped";      // binary or unreadable
inline constexpr const char* DRY_FAILS = "fails";          // a run would fail it

// Looks at the files as options.dryRun or options.check ask, printing
// "LABEL\t->\tTARGET\tSTATE\tLOST\tPATH" lines on out (--check: only the files
// that would change, lose characters or fail) and reasons on err.  Returns
// the exit status: 1 when a file would fail (with --strict also when it would
// lose a character) or does not exist, and under --check when a file is not
// yet right; 130 when interrupted before the last file.
int ReportDryRun(const CliOptions& options, const std::vector<JobFile>& files, std::ostream& out,
                 std::ostream& err);

}  // namespace ruv
