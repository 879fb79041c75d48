// Turns bytes consumed into a progress-bar position.
//
// The size pass adds every file's size; ScaleProgress then finds how many
// halvings bring that total to at most PROGRESS_RANGE_MAX (so the bar's range
// fits 16 bits) and starts the count again; AddProgress turns the bytes
// consumed so far into a position on that scale.  All counts are 64-bit, so
// files of 4 GiB and more scale like any other.  The size pass runs on one
// thread; AddProgress may then be called from several threads at once.
#pragma once

#include <atomic>
#include <cstdint>

namespace ruv {

inline constexpr std::uint32_t PROGRESS_RANGE_MAX = 32000;
// The bytes a converter converts between two additions to the progress: the
// counter is shared by every thread of a run, so it is written in steps, not
// at every piece (a step is a few milliseconds of work).
inline constexpr std::uint64_t PROGRESS_STEP_BYTES = 64 * 1024;

// Raises a shown progress position to position, never lowering it: threads
// that add to one counter at once may come to store their positions out of
// order, and the last one stored must be the furthest.
inline void RaiseProgress(std::atomic<std::uint32_t>& shown, std::uint32_t position) {
    std::uint32_t seen = shown.load(std::memory_order_relaxed);
    while (seen < position &&
           !shown.compare_exchange_weak(seen, position, std::memory_order_relaxed)) {}
}

class ProgressCounter {
public:
    void Reset() {
        byteCount_.store(0, std::memory_order_relaxed);
        shiftCount_ = 0;
        scaledTotal_ = 0;
    }
    void AddFileSize(std::uint64_t size) { byteCount_ += size; }
    std::uint32_t ScaleProgress();
    std::uint32_t AddProgress(std::uint64_t bytes);
    // Takes back bytes counted by AddProgress, for work that is done again.
    std::uint32_t TakeBackProgress(std::uint64_t bytes);

    std::uint32_t ScaledTotal() const { return scaledTotal_; }
    std::int32_t ShiftCount() const { return shiftCount_; }

private:
    std::atomic<std::uint64_t> byteCount_{0};
    std::int32_t shiftCount_ = 0;
    std::uint32_t scaledTotal_ = 0;
};

}  // namespace ruv
