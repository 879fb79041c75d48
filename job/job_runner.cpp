#include "job/job_runner.h"

namespace ruv {

JobRunner::~JobRunner() {
    RequestCancel();
    Wait();
}

bool JobRunner::Start(std::vector<JobFile> files, const JobSettings& settings) {
    if (IsBusy() || files.empty()) return false;
    Wait();  // the previous worker has cleared busy; let its thread end
    files_ = std::move(files);
    report_ = JobReport{};
    job_.settings = settings;
    job_.progressPosition = 0;
    job_.progressMaximum = 0;
    job_.fileIndex = -1;
    job_.cancel = false;
    job_.errorCode = JOB_ERROR_NONE;
    job_.busy = true;
    // Starting the thread orders every write above before the worker's reads.
    worker_ = std::jthread([this] { ConvertWorker(job_, files_, report_); });
    return true;
}

void JobRunner::RequestCancel() {
    if (IsBusy()) job_.cancel.store(true, std::memory_order_relaxed);
}

void JobRunner::Wait() {
    if (worker_.joinable()) worker_.join();
}

JobOutcome JobRunner::Outcome() const {
    if (report_.cancelled) return JobOutcome::Cancelled;
    if (job_.errorCode.load(std::memory_order_relaxed) != JOB_ERROR_NONE) return JobOutcome::Failed;
    return JobOutcome::Done;
}

}  // namespace ruv
