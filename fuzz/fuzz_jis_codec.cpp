// Fuzzes the ISO-2022-JP codec in both directions.
//
// The first byte chooses the capacity; the rest is the text.  Arbitrary bytes
// go through both directions under CheckCodec.  Then the same bytes, read as
// choices of JIS X 0208 characters and ASCII, make a valid Shift_JIS line that
// must come back unchanged through JIS.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/jis_codec.h"
#include "engine/sjis_primitives.h"
#include "fuzz_support.h"

namespace {

void CheckRoundTrip(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<std::uint8_t[]> sjis(new std::uint8_t[size + 1]);
    ruv::fuzz::ValidSjisFrom(data, size, sjis.get());
    ruv::fuzz::CheckRoundTrip<std::uint8_t>(ruv::SjisToJisText, ruv::JisToSjisText, sjis.get(),
                                            data, size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::int32_t capacity = ruv::fuzz::CapacityFrom(data[0]);
    const ruv::fuzz::TerminatedBytes text(data + 1, size - 1);
    ruv::fuzz::CheckCodec<std::uint8_t>(ruv::SjisToJisText, text.bytes.get(), capacity, data, size);
    ruv::fuzz::CheckCodec<std::uint8_t>(ruv::JisToSjisText, text.bytes.get(), capacity, data, size);
    CheckRoundTrip(data + 1, size - 1);
    return 0;
}
