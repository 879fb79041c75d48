#include "job/conversion_worker.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "job/in_place_converter.h"
#include "job/prepare_pool.h"
#include "job/progress_counter.h"
#include "platform/file_ops.h"

namespace ruv {
namespace {

// Converted files wait in a group before they take their sources' places: the
// system writes the group's new content to the disk together, so waiting for
// it costs one flush for many files instead of one flush each.  The group is
// bounded in files (each holds two descriptors) and in bytes.
constexpr std::size_t GROUP_FILES = 64;
constexpr std::uint64_t GROUP_BYTES = 32 * 1024 * 1024;

class Batch {
public:
    Batch(ConvertJob& job, const std::vector<JobFile>& files, JobReport& report)
        : job_(job), files_(files), report_(report) {}

    // Runs every file; returns when all are done, one failed (unless
    // keep-going) or a cancel came.  With several threads the files are
    // prepared ahead on a pool but met here in their order, so the run ends
    // and reports exactly as it does on one thread.
    void Run(ProgressCounter& progress) {
        const unsigned jobs = job_.settings.jobs;
        PreparePool pool(files_, job_, progress, jobs > 1 ? jobs : 0);
        pool_ = &pool;
        for (std::size_t i = 0; i < files_.size() && !Stopped(); ++i) {
            if (job_.cancel.load(std::memory_order_relaxed)) {
                report_.cancelled = true;
                if (pool.Started(i)) report_.cancelledIndex = static_cast<std::int32_t>(i);
                break;
            }
            if (IsSkippedCode(files_[i].code)) {
                report_.skipped.push_back(i);
                continue;
            }
            Convert(i, pool.Take(i), progress);
        }
        pool.Stop();
        Commit();
        pool_ = nullptr;
    }

private:
    struct Waiting {
        std::size_t index;
        PendingFile file;
        ReplacedCharacters replaced;
    };

    bool Stopped() const { return report_.failedIndex >= 0 && !job_.settings.keepGoing; }

    void Convert(std::size_t index, PreparedFile prepared, ProgressCounter& progress) {
        if (prepared.outcome == FileOutcome::Failed &&
            (!group_.empty() || pool_->StartedAfter(index))) {
            // The files waiting come first; one of them, or a later file under
            // way, may also hold this file open under another name (a hard
            // link).  Then try again.
            Commit();
            if (Stopped()) return;
            pool_->DropAfter(index);
            prepared = PrepareFile(files_, index, job_, progress);
        }
        if (prepared.outcome == FileOutcome::Failed) {
            Commit();
            if (!Stopped()) Fail(index, std::move(prepared.reason));
            return;
        }
        if (prepared.outcome == FileOutcome::Cancelled) {
            report_.cancelled = true;
            report_.cancelledIndex = static_cast<std::int32_t>(index);
            return;
        }
        if (prepared.outcome == FileOutcome::Unchanged) {
            report_.unchanged.push_back(index);
            return;
        }
        // A registered file was found the size it had at registration.
        const JobFile& file = files_[index];
        std::error_code error;
        const std::uint64_t size = file.identity.IsRecorded()
                                       ? file.identity.size
                                       : std::filesystem::file_size(file.path, error);
        groupBytes_ += error ? 0 : size;
        group_.push_back({index, std::move(prepared.pending), prepared.replaced});
        if (group_.size() >= GROUP_FILES || groupBytes_ >= GROUP_BYTES) Commit();
    }

    // Puts every waiting file in its source's place, in order; the first that
    // fails stops the run, and the ones after it are dropped untouched (under
    // keep-going they still take their places).
    void Commit() {
        const bool backup = job_.settings.backup;
        std::vector<std::pair<FileIdentity, FileHandle>> folders;  // each folder once
        for (Waiting& waiting : group_) {
            if (Stopped()) break;  // dropping the rest removes their temporary files
            std::string reason;
            FileHandle folder;
            if (CommitReplacement(std::move(waiting.file), backup, reason, folder)) {
                ++report_.converted;
                if (const ReplacedCharacters& lost = waiting.replaced; lost.count != 0) {
                    report_.lost.push_back({waiting.index, lost.count, lost.firstLine,
                                            lost.firstLineOffset, lost.firstHadNoCode});
                }
                FileIdentity identity;
                std::error_code error;
                if (folder.Identify(identity, error) &&
                    std::none_of(folders.begin(), folders.end(),
                                 [&](const auto& seen) { return seen.first.SameFile(identity); })) {
                    folders.emplace_back(identity, std::move(folder));
                }
            } else {
                Fail(waiting.index, std::move(reason));
            }
        }
        group_.clear();
        groupBytes_ = 0;
        // The renames are done; flushing their folders makes them survive a power loss.
        for (const auto& [identity, folder] : folders) {
            std::error_code ignored;
            SyncFolder(folder, ignored);
        }
    }

    void Fail(std::size_t index, std::string reason) {
        if (report_.failedIndex < 0) {
            report_.failedIndex = static_cast<std::int32_t>(index);
            report_.failure = reason;
        }
        report_.failures.push_back({index, std::move(reason)});
        job_.errorCode.store(JOB_ERROR_CONVERT, std::memory_order_relaxed);
        if (Stopped() && pool_ != nullptr) pool_->Stop();  // no new file starts
    }

    ConvertJob& job_;
    const std::vector<JobFile>& files_;
    JobReport& report_;
    PreparePool* pool_ = nullptr;  // while Run runs
    std::vector<Waiting> group_;
    std::uint64_t groupBytes_ = 0;
};

}  // namespace

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

    Batch(job, files, report).Run(progress);

    job.progressPosition.store(job.progressMaximum.load(std::memory_order_relaxed),
                               std::memory_order_relaxed);
    job.busy.store(false, std::memory_order_release);  // last: publishes everything above
    return 0;
}

}  // namespace ruv
