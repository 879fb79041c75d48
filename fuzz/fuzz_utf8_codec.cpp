// UTF-8 codec: the engine convention with exactly sized blocks, a walk with
// Utf8ReadChar that must stay before the terminator, and the round trip of
// well-formed UTF-16 through UTF-8.  The first input byte picks the capacity.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/utf8_codec.h"
#include "fuzz_support.h"

namespace {

using ruv::fuzz::Fail;


bool WellFormed(const char16_t* units) {
    for (const char16_t* p = units; *p != 0; ++p) {
        if (*p >= 0xD800 && *p <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            ++p;
        } else if (*p >= 0xD800 && *p <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

void WalkWithReadChar(const std::uint8_t* bytes, const std::uint8_t* data, std::size_t size) {
    for (const std::uint8_t* p = bytes; *p != 0;) {
        std::int32_t length = 0;
        ruv::Utf8ReadChar(p, &length);
        if (length != 1 && length != ruv::Utf8SequenceLength(*p)) {
            Fail("Utf8ReadChar length is neither 1 nor the lead's length", data, size);
        }
        p += length;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::int32_t capacity = ruv::fuzz::CapacityFrom(data[0]);
    ++data;
    --size;
    const ruv::fuzz::TerminatedBytes bytes(data, size);
    ruv::fuzz::CheckCodec<char16_t>(ruv::Utf8ToWideText, bytes.bytes.get(), capacity, data, size);
    WalkWithReadChar(bytes.bytes.get(), data, size);
    const ruv::fuzz::TerminatedUnits units(data, size);
    ruv::fuzz::CheckCodec<std::uint8_t>(ruv::WideToUtf8Text, units.units.get(), capacity, data,
                                        size);
    if (WellFormed(units.units.get())) ruv::fuzz::CheckRoundTrip<std::uint8_t>(ruv::WideToUtf8Text, ruv::Utf8ToWideText, units.units.get(), data, size);
    return 0;
}
