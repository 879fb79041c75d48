// The conversion worker: converts a batch of files in place, in their order.
//
// It works on a snapshot of the registered files taken when the run starts, so
// nothing it reads can change under it.  It first sums the sizes of the files
// it will convert to scale the progress range, then converts each file in
// place (job/in_place_converter.h), skipping files detected as binary or
// unreadable and leaving those whose content is already what the conversion
// makes.  The first file that fails stops the run (error 3), as does a
// cancel; later files are not touched.  With the job's keep-going flag a failed
// file only joins the report's failures and the run goes on.  With the job's
// `jobs` above one, that many files are converted at once (job/prepare_pool.h),
// yet they take their places and join the report in their order, so the run
// ends and reports as it would one file at a time: after a failure no new
// file starts, and later files already converted are left untouched.  The
// busy flag is cleared last.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "job/convert_job.h"
#include "platform/file_handle.h"

namespace ruv {

// One registered file as the run sees it (job/registration.h fills it).
struct JobFile {
    std::string name;             // what the list shows
    std::filesystem::path path;   // full path, links resolved at registration
    KanjiCode code = CODE_ERROR;  // detected at registration
    FileIdentity identity{};      // the file at registration; none: taken as named
    FileIdentity folder{};        // the folder that held it
};

// A file that failed: its index in the run's files, and why.
struct JobFailure {
    std::size_t index;
    std::string reason;
};

// What a run did, for whoever reports it.  Written by the worker, read only
// after the busy flag has been seen cleared.
// The characters one file lost in its conversion: each was replaced ("?" or
// "・") because the target has no code for it or the source held it broken.
struct LostCharacters {
    std::size_t index = 0;              // the file, in the run's list
    std::uint64_t count = 0;            // characters replaced
    std::uint64_t firstLine = 0;        // line of the first one, from 1
    std::uint64_t firstLineOffset = 0;  // byte offset of that line in the source
    bool firstHadNoCode = false;        // true: no code in the target; false: broken in the source
};

struct JobReport {
    std::vector<std::size_t> skipped;  // files skipped as binary or unreadable
    std::size_t converted = 0;
    std::vector<std::size_t> unchanged;  // files whose content was already right, left as they were
    std::int32_t failedIndex = -1;       // the first file that failed (it stops the
    std::string failure;                 // run unless keep-going), and why
    std::vector<JobFailure> failures;    // every failed file, in the order they failed
    bool cancelled = false;              // a cancel stopped the run before its end
    std::int32_t cancelledIndex = -1;    // the file under way then, left as it was; -1: none
    std::vector<LostCharacters> lost;    // the files converted that lost characters, in order
};

// Skipped by every run: nothing can be converted from these.
constexpr bool IsSkippedCode(KanjiCode code) { return code == CODE_ERROR || code == CODE_BINARY; }

// The worker thread's procedure; returns 0.
int ConvertWorker(ConvertJob& job, const std::vector<JobFile>& files, JobReport& report);

}  // namespace ruv
