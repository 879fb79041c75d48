// DetectCode over arbitrary bytes: it reads no further than the two zero bytes
// after the data, always answers one of the nine detection results, and takes
// for UTF-7 only text that the strict UTF-7 decoder reads.
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>

#include "detect/code_detector.h"
#include "engine/utf7_codec.h"
#include "fuzz_support.h"

namespace {

bool IsDetectionResult(ruv::KanjiCode code) {
    return ruv::IsSourceCode(code) || code == ruv::CODE_UNKNOWN || code == ruv::CODE_BINARY;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ruv::fuzz::shown = {data, size};
    if (size > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return 0;
    const std::size_t blockSize = size + ruv::DETECT_LOOKAHEAD_BYTES;
    std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[blockSize]());
    if (size > 0) std::memcpy(block.get(), data, size);
    const ruv::KanjiCode code = ruv::DetectCode(block.get(), static_cast<std::int32_t>(size));
    // A whole text detected as UTF-7 is judged as the strict decoder reads it.
    if (ruv::DetectCode(block.get(), static_cast<std::int32_t>(size), false) == ruv::CODE_UTF7 &&
        ruv::Utf7ToWideTextStrict(nullptr, block.get(), static_cast<std::int32_t>(size) + 1) < 0) {
        ruv::fuzz::Fail("detected as UTF-7, refused by the strict decoder");
    }
    if (!IsDetectionResult(code)) ruv::fuzz::Fail("not a detection result");
    if (size < 2 && code != ruv::CODE_UNKNOWN) {
        ruv::fuzz::Fail("fewer than two bytes detected as a code");
    }
    return 0;
}
