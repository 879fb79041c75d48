// Fuzzes the EUC-JP codec in both directions and the folding Shift_JIS copy.
//
// The first byte chooses the capacity; the rest is the text.  Arbitrary bytes
// go through all three under CheckCodec.  Then the same bytes, read as choices
// of JIS X 0208 characters and ASCII, make a valid Shift_JIS line that must
// come back unchanged through EUC-JP and through the copy.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/euc_codec.h"
#include "engine/sjis_primitives.h"
#include "fuzz_support.h"

namespace {

// Runs codec over text into a block of exactly length + 1 bytes and checks
// that it gives back expected.
void ExpectSame(std::int32_t (*codec)(std::uint8_t*, const std::uint8_t*, std::int32_t,
                                      ruv::LostCount*),
                const std::uint8_t* text, const std::uint8_t* expected, std::size_t length,
                const char* what, const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[length + 1]);
    if (codec(out.get(), text, static_cast<std::int32_t>(length + 1), nullptr) !=
        static_cast<std::int32_t>(length)) {
        ruv::fuzz::Fail(what, data, size);
    }
    for (std::size_t i = 0; i < length; ++i) {
        if (out[i] != expected[i]) ruv::fuzz::Fail(what, data, size);
    }
}

void CheckRoundTrip(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<std::uint8_t[]> sjis(new std::uint8_t[size + 1]);
    const std::size_t length = ruv::fuzz::ValidSjisFrom(data, size, sjis.get());
    ruv::fuzz::CheckRoundTrip<std::uint8_t>(ruv::SjisToEucText, ruv::EucToSjisText, sjis.get(),
                                            data, size);
    ExpectSame(ruv::SjisToSjisText, sjis.get(), sjis.get(), length, "copy changed a valid line",
               data, size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::int32_t capacity = ruv::fuzz::CapacityFrom(data[0]);
    const ruv::fuzz::TerminatedBytes text(data + 1, size - 1);
    ruv::fuzz::CheckCodec<std::uint8_t>(ruv::SjisToEucText, text.bytes.get(), capacity, data, size);
    ruv::fuzz::CheckCodec<std::uint8_t>(ruv::EucToSjisText, text.bytes.get(), capacity, data, size);
    ruv::fuzz::CheckCodec<std::uint8_t>(ruv::SjisToSjisText, text.bytes.get(), capacity, data,
                                        size);
    CheckRoundTrip(data + 1, size - 1);
    return 0;
}
