#include "job/progress_counter.h"

namespace ruv {

std::uint32_t ProgressCounter::ScaleProgress() {
    shiftCount_ = 0;
    while ((byteCount_ >> shiftCount_) > PROGRESS_RANGE_MAX) ++shiftCount_;
    scaledTotal_ = static_cast<std::uint32_t>(byteCount_ >> shiftCount_);
    byteCount_ = 0;
    return scaledTotal_;
}

std::uint32_t ProgressCounter::AddProgress(std::uint64_t bytes) {
    byteCount_ += bytes;
    const std::uint64_t position = byteCount_ >> shiftCount_;
    // Bytes beyond the size total (a file that grew meanwhile) stay at the end.
    return position < scaledTotal_ ? static_cast<std::uint32_t>(position) : scaledTotal_;
}

}  // namespace ruv
