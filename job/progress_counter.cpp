#include "job/progress_counter.h"

namespace ruv {

std::uint32_t ProgressCounter::ScaleProgress() {
    shiftCount_ = 0;
    const std::uint64_t total = byteCount_.exchange(0, std::memory_order_relaxed);
    while ((total >> shiftCount_) > PROGRESS_RANGE_MAX) ++shiftCount_;
    scaledTotal_ = static_cast<std::uint32_t>(total >> shiftCount_);
    return scaledTotal_;
}

std::uint32_t ProgressCounter::TakeBackProgress(std::uint64_t bytes) {
    return AddProgress(-bytes);  // wraps around, as the counter does back
}

std::uint32_t ProgressCounter::AddProgress(std::uint64_t bytes) {
    const std::uint64_t position =
        (byteCount_.fetch_add(bytes, std::memory_order_relaxed) + bytes) >> shiftCount_;
    // Bytes beyond the size total (a file that grew meanwhile) stay at the end.
    return position < scaledTotal_ ? static_cast<std::uint32_t>(position) : scaledTotal_;
}

}  // namespace ruv
