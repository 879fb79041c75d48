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

// 0-127 as it is; 128-255 in steps of 128 up to 16256.
std::int32_t CapacityFrom(std::uint8_t b) { return b < 128 ? b : (b - 128) * 128; }

// Two input bytes per character: printable ASCII, or a row/cell pair.
std::size_t ValidSjisFrom(const std::uint8_t* data, std::size_t size, std::uint8_t* line) {
    std::size_t n = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        if (data[i] < 0x40) {
            line[n++] = static_cast<std::uint8_t>(0x20 + data[i + 1] % 0x5F);  // 0x20-0x7E
            continue;
        }
        const unsigned row = 0x21 + data[i] % 94, cell = 0x21 + data[i + 1] % 94;
        const std::uint16_t sjis = ruv::JisToSjisChar(static_cast<std::uint16_t>(row << 8 | cell));
        line[n++] = static_cast<std::uint8_t>(sjis >> 8);
        line[n++] = static_cast<std::uint8_t>(sjis);
    }
    line[n] = 0;
    return n;
}

// Runs codec over text into a block of exactly length + 1 bytes and checks
// that it gives back expected.
void ExpectSame(std::int32_t (*codec)(std::uint8_t*, const std::uint8_t*, std::int32_t),
                const std::uint8_t* text, const std::uint8_t* expected, std::size_t length,
                const char* what, const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[length + 1]);
    if (codec(out.get(), text, static_cast<std::int32_t>(length + 1)) !=
        static_cast<std::int32_t>(length)) {
        ruv::fuzz::Fail(what, data, size);
    }
    for (std::size_t i = 0; i < length; ++i) {
        if (out[i] != expected[i]) ruv::fuzz::Fail(what, data, size);
    }
}

void CheckRoundTrip(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<std::uint8_t[]> sjis(new std::uint8_t[size + 1]);
    const std::size_t length = ValidSjisFrom(data, size, sjis.get());
    std::unique_ptr<std::uint8_t[]> euc(new std::uint8_t[length + 1]);
    if (ruv::SjisToEucText(euc.get(), sjis.get(), static_cast<std::int32_t>(length + 1)) !=
        static_cast<std::int32_t>(length)) {
        ruv::fuzz::Fail("EUC-JP of a valid line has another length", data, size);
    }
    ExpectSame(ruv::EucToSjisText, euc.get(), sjis.get(), length, "EUC-JP round trip", data, size);
    ExpectSame(ruv::SjisToSjisText, sjis.get(), sjis.get(), length, "copy changed a valid line",
               data, size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::int32_t capacity = CapacityFrom(data[0]);
    const ruv::fuzz::TerminatedBytes text(data + 1, size - 1);
    ruv::fuzz::CheckCodec<std::uint8_t>(ruv::SjisToEucText, text.bytes.get(), capacity, data, size);
    ruv::fuzz::CheckCodec<std::uint8_t>(ruv::EucToSjisText, text.bytes.get(), capacity, data, size);
    ruv::fuzz::CheckCodec<std::uint8_t>(ruv::SjisToSjisText, text.bytes.get(), capacity, data,
                                        size);
    CheckRoundTrip(data + 1, size - 1);
    return 0;
}
