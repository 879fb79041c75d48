// What converting a file would do, found without writing anything: the file is
// read and converted into nothing, so no file, temporary file or backup is
// written and the file itself is left as it was.  ruv-cli's --dry-run and
// --check, and a preview in the window, ask this.
#pragma once

#include <string>

#include "job/conversion_worker.h"
#include "job/file_converter.h"

namespace ruv {

struct DryRunResult {
    bool converted = false;   // the whole file converts; false: `reason` says why not
    bool changed = false;     // its converted bytes differ from its current bytes
    ReplacedCharacters lost;  // the characters it would lose, every one counted
    std::string reason;
};

// Converts the file as a run with these settings would (from the code
// registered for it under auto-detection).  The strict flag is not applied:
// every character the file would lose is counted, and the caller decides
// whether that fails it.  Binary and unreadable files do not convert.
DryRunResult DryRunFile(const JobFile& file, const JobSettings& settings);

}  // namespace ruv
