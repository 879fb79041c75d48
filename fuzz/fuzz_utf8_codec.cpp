// UTF-8 codec: the engine convention with exactly sized blocks, decoding that never
// yields a lone surrogate, and the round trip of any UTF-16 through UTF-8 (a
// lone surrogate comes back as "?").  The first input byte picks the capacity.
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::int32_t capacity = ruv::fuzz::CapacityFrom(data[0]);
    ++data;
    --size;
    const ruv::fuzz::TerminatedBytes bytes(data, size);
    ruv::fuzz::CheckCodec<char16_t>(ruv::Utf8ToWideText, bytes.bytes.get(), capacity, data, size);
    const ruv::fuzz::TerminatedUnits units(data, size);
    ruv::fuzz::CheckCodec<std::uint8_t>(ruv::WideToUtf8Text, units.units.get(), capacity, data,
                                        size);
    const std::int32_t decoded = ruv::Utf8ToWideText(nullptr, bytes.bytes.get(), 0);
    std::unique_ptr<char16_t[]> wide(new char16_t[decoded + 1]);
    ruv::Utf8ToWideText(wide.get(), bytes.bytes.get(), decoded + 1);
    if (!WellFormed(wide.get())) Fail("UTF-8 decoded to a lone surrogate", data, size);
    // Any UTF-16 through UTF-8 and back: the same, with lone surrogates as "?".
    const char16_t* text = units.units.get();
    const std::int32_t encoded = ruv::WideToUtf8Text(nullptr, text, 0);
    std::unique_ptr<std::uint8_t[]> middle(new std::uint8_t[encoded + 1]);
    ruv::WideToUtf8Text(middle.get(), text, encoded + 1);
    const std::int32_t back = ruv::Utf8ToWideText(nullptr, middle.get(), 0);
    std::unique_ptr<char16_t[]> again(new char16_t[back + 1]);
    ruv::Utf8ToWideText(again.get(), middle.get(), back + 1);
    std::int32_t at = 0;
    for (const char16_t* p = text; *p != 0; ++p, ++at) {
        const bool pair = *p >= 0xD800 && *p <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF;
        const bool lone = !pair && *p >= 0xD800 && *p <= 0xDFFF;
        if (at + (pair ? 1 : 0) >= back || again[at] != (lone ? u'?' : *p) ||
            (pair && again[++at] != *++p)) {
            Fail("round trip changed the text", data, size);
        }
    }
    if (at != back) Fail("round trip changed the length", data, size);
    return 0;
}
