// The record a conversion run shares between the thread that starts it (the
// window or ruv-cli) and the worker thread.
//
// The starter writes every field before the worker starts; during the run it
// writes only `cancel`.  The worker writes `sourceCode` (per file under
// auto-detection), `progressPosition`, `fileIndex`, `errorCode` and, last of
// all, `busy` with release order; the poller reads `errorCode` and `cancel`
// only after it has seen `busy` cleared with acquire order.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/kanji_code.h"
#include "engine/line_converter.h"

namespace ruv {

inline constexpr std::int32_t JOB_ERROR_NONE = 0;
inline constexpr std::int32_t JOB_ERROR_CONVERT = 3;  // a file failed to convert

struct ConvertJob {
    std::atomic<KanjiCode> sourceCode{CODE_SJIS};
    std::atomic<KanjiCode> targetCode{CODE_SJIS};
    std::atomic<std::int32_t> newlineIndex{NEWLINE_CRLF};
    std::atomic<std::uint32_t> progressPosition{0};
    std::atomic<std::uint32_t> progressMaximum{0};
    std::atomic<std::int32_t> fileIndex{-1};  // the file under way, -1 before the first
    std::atomic<bool> autoDetect{false};
    std::atomic<bool> halfWidthKana{false};
    std::atomic<bool> backup{false};
    std::atomic<bool> keepGoing{false};  // a failed file does not stop the run
    std::atomic<bool> strict{false};     // a file that would lose a character fails
    std::atomic<bool> cancel{false};
    std::atomic<bool> busy{false};
    std::atomic<std::int32_t> errorCode{JOB_ERROR_NONE};
};

}  // namespace ruv
