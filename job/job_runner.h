// Starts, cancels and follows conversion runs: the one API through which the
// window and ruv-cli drive the worker.
//
// The runner owns the job record, the snapshot of files and the worker thread.
// Start copies the settings into the record and starts the thread; the owner
// then polls (the window every 10 ms) until IsBusy() turns false, and reads
// the outcome.  Destroying the runner cancels a run under way and waits for
// the worker, so the file under way is left exactly as it was.
#pragma once

#include <cstdint>
#include <thread>
#include <vector>

#include "job/conversion_worker.h"

namespace ruv {

enum class JobOutcome { Done, Cancelled, Failed };

class JobRunner {
public:
    JobRunner() = default;
    JobRunner(const JobRunner&) = delete;
    JobRunner& operator=(const JobRunner&) = delete;
    ~JobRunner();

    // Starts a run over the files; false (and nothing starts) while a run is
    // busy or when there is no file.
    bool Start(std::vector<JobFile> files, const JobSettings& settings);
    // Asks the run under way to stop as soon as it can.
    void RequestCancel();
    // Waits for the worker to end.
    void Wait();

    bool IsBusy() const { return job_.busy.load(std::memory_order_acquire); }
    std::uint32_t ProgressPosition() const {
        return job_.progressPosition.load(std::memory_order_relaxed);
    }
    std::uint32_t ProgressMaximum() const {
        return job_.progressMaximum.load(std::memory_order_relaxed);
    }
    // The file under way, or -1 before the first.
    std::int32_t CurrentFile() const { return job_.fileIndex.load(std::memory_order_relaxed); }

    // Once IsBusy() is false: how the last run ended (a cancel outranks an
    // error; a cancel that came after the last file was done does not count),
    // what it did, and the files it worked on.
    JobOutcome Outcome() const;
    const JobReport& Report() const { return report_; }
    const std::vector<JobFile>& Files() const { return files_; }

private:
    ConvertJob job_;
    std::vector<JobFile> files_;
    JobReport report_;
    std::jthread worker_;
};

}  // namespace ruv
