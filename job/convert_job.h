// The record a conversion run shares between the thread that starts it (the
// window or ruv-cli) and the worker thread.
//
// The starter writes `settings` and resets the counters before the worker
// starts (starting the thread orders those writes before the worker's reads),
// and nobody writes `settings` during the run.  While the run is under way the
// starter writes only `cancel`; the worker writes `progressPosition`,
// `fileIndex`, `errorCode` and, last of all, `busy` with release order; the
// poller reads `errorCode` and `cancel` only after it has seen `busy` cleared
// with acquire order.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "engine/conversion_options.h"
#include "engine/kanji_code.h"

namespace ruv {

inline constexpr std::int32_t JOB_ERROR_NONE = 0;
inline constexpr std::int32_t JOB_ERROR_CONVERT = 3;  // a file failed to convert

// How one large file is cut into blocks converted on several threads at once
// (job/block_converter.h).
struct BlockPlan {
    unsigned threads = 0;                  // 0: one per core; 1: the file on one thread
    std::size_t blockBytes = 512 * 1024;   // source bytes of a block, before its cut
    std::uint64_t minimumBytes = 4 << 20;  // a smaller file is converted on one thread
};

// What a run is asked to do.
struct JobSettings {
    ConversionOptions conversion;  // its source code is used for every file unless autoDetect
    bool autoDetect = true;        // each file from the code detected at its registration
    bool backup = false;
    bool keepGoing = false;  // go on after a failed file (ruv-cli -k; the window stops)
    bool strict = false;     // fail a file that would lose a character (ruv-cli --strict)
    unsigned jobs = 1;       // files converted at once (ruv-cli -j; the window keeps one)
    BlockPlan blocks;        // one large file on several threads
};

// The options one file is converted with: under auto-detection, from the code
// detected for it.
constexpr ConversionOptions OptionsForFile(const JobSettings& settings, KanjiCode detected) {
    ConversionOptions options = settings.conversion;
    if (settings.autoDetect) options.source = detected;
    return options;
}

struct ConvertJob {
    JobSettings settings;
    std::atomic<std::uint32_t> progressPosition{0};
    std::atomic<std::uint32_t> progressMaximum{0};
    std::atomic<std::int32_t> fileIndex{-1};  // the file under way, -1 before the first
    std::atomic<bool> cancel{false};
    std::atomic<bool> busy{false};
    std::atomic<std::int32_t> errorCode{JOB_ERROR_NONE};
};

}  // namespace ruv
