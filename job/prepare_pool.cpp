#include "job/prepare_pool.h"

#include <system_error>
#include <utility>

namespace ruv {

PreparedFile PrepareFile(const std::vector<JobFile>& files, std::size_t index, ConvertJob& job,
                         ProgressCounter& progress) {
    job.fileIndex.store(static_cast<std::int32_t>(index), std::memory_order_relaxed);
    PreparedFile prepared;
    prepared.outcome = PrepareReplacement(files[index], job, progress, prepared.reason,
                                          prepared.pending, &prepared.replaced);
    return prepared;
}

PreparePool::PreparePool(const std::vector<JobFile>& files, ConvertJob& job,
                         ProgressCounter& progress, unsigned threads)
    : files_(files),
      job_(job),
      progress_(progress),
      window_(2 * std::size_t{threads}),
      slots_(threads > 0 ? files.size() : 0) {
    try {
        for (unsigned i = 0; i < threads; ++i) threads_.emplace_back([this] { Serve(); });
    } catch (const std::system_error&) {
        // The system has no thread to spare: the ones started do the work,
        // or without any, the worker itself.
    }
}

PreparePool::~PreparePool() {
    Stop();
    for (std::jthread& thread : threads_) thread.join();
}

bool PreparePool::MayStart() const {
    return !paused_ && next_ < slots_.size() && next_ < cursor_ + window_;
}

void PreparePool::Serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopped_ || MayStart(); });
        if (stopped_) return;
        const std::size_t index = next_++;
        if (IsSkippedCode(files_[index].code)) continue;
        slots_[index].state = State::Running;
        ++running_;
        lock.unlock();
        PreparedFile prepared = PrepareFile(files_, index, job_, progress_);
        lock.lock();
        slots_[index] = {State::Ready, std::move(prepared)};
        --running_;
        changed_.notify_all();
    }
}

PreparedFile PreparePool::Take(std::size_t index) {
    if (threads_.empty()) return PrepareFile(files_, index, job_, progress_);
    std::unique_lock lock(mutex_);
    cursor_ = index;
    paused_ = false;
    changed_.notify_all();
    Slot& slot = slots_[index];
    // A file no thread will take (the pool was stopped) is prepared here.
    changed_.wait(lock, [&] {
        return slot.state == State::Ready ||
               (slot.state == State::Idle && (stopped_ || next_ > index));
    });
    if (slot.state != State::Ready) {
        lock.unlock();
        return PrepareFile(files_, index, job_, progress_);
    }
    slot.state = State::Idle;
    return std::move(slot.result);
}

bool PreparePool::Started(std::size_t index) {
    if (threads_.empty()) return false;
    std::lock_guard lock(mutex_);
    return slots_[index].state != State::Idle;
}

bool PreparePool::StartedAfter(std::size_t index) {
    if (threads_.empty()) return false;
    std::lock_guard lock(mutex_);
    for (std::size_t i = index + 1; i < next_; ++i) {
        if (slots_[i].state != State::Idle) return true;
    }
    return false;
}

void PreparePool::DropAfter(std::size_t index) {
    if (threads_.empty()) return;
    std::vector<PreparedFile> dropped;  // their temporary files go once the lock is released
    std::unique_lock lock(mutex_);
    paused_ = true;
    changed_.wait(lock, [this] { return running_ == 0; });
    for (std::size_t i = index + 1; i < next_; ++i) {
        if (slots_[i].state == State::Ready) dropped.push_back(std::move(slots_[i].result));
        slots_[i].state = State::Idle;
    }
    if (next_ > index + 1) next_ = index + 1;
}

void PreparePool::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    changed_.notify_all();
}

}  // namespace ruv
