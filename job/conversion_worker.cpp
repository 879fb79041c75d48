#include "job/conversion_worker.h"

#include <system_error>

#include "job/in_place_converter.h"
#include "job/progress_counter.h"

namespace ruv {

int ConvertWorker(ConvertJob& job, const std::vector<JobFile>& files, JobReport& report) {
    ProgressCounter progress;
    for (const JobFile& file : files) {
        if (IsSkippedCode(file.code)) continue;
        std::error_code error;
        const auto size = std::filesystem::file_size(file.path, error);
        if (!error) progress.AddFileSize(size);  // an unreadable file adds nothing
    }
    job.progressMaximum.store(progress.ScaleProgress(), std::memory_order_relaxed);
    job.progressPosition.store(0, std::memory_order_relaxed);

    for (std::size_t i = 0; i < files.size(); ++i) {
        if (job.cancel.load(std::memory_order_relaxed)) break;
        const JobFile& file = files[i];
        if (IsSkippedCode(file.code)) {
            report.skipped.push_back(i);
            continue;
        }
        if (job.autoDetect.load(std::memory_order_relaxed)) {
            job.sourceCode.store(file.code, std::memory_order_relaxed);
        }
        job.fileIndex.store(static_cast<std::int32_t>(i), std::memory_order_relaxed);
        std::string reason;
        const FileOutcome outcome = ConvertInPlace(file.path, job, progress, reason);
        if (outcome == FileOutcome::Failed) {
            report.failedIndex = static_cast<std::int32_t>(i);
            report.failure = std::move(reason);
            job.errorCode.store(JOB_ERROR_CONVERT, std::memory_order_relaxed);
            break;
        }
        if (outcome == FileOutcome::Converted) ++report.converted;
    }

    job.progressPosition.store(job.progressMaximum.load(std::memory_order_relaxed),
                               std::memory_order_relaxed);
    job.busy.store(false, std::memory_order_release);  // last: publishes everything above
    return 0;
}

}  // namespace ruv
