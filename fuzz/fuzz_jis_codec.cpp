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

void CheckRoundTrip(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<std::uint8_t[]> sjis(new std::uint8_t[size + 1]);
    const std::size_t length = ValidSjisFrom(data, size, sjis.get());
    const std::int32_t jisLength = ruv::SjisToJisText(nullptr, sjis.get(), 0);
    std::unique_ptr<std::uint8_t[]> jis(new std::uint8_t[jisLength + 1]);
    if (ruv::SjisToJisText(jis.get(), sjis.get(), jisLength + 1) != jisLength) {
        ruv::fuzz::Fail("encoding a valid line failed", data, size);
    }
    std::unique_ptr<std::uint8_t[]> back(new std::uint8_t[length + 1]);
    if (ruv::JisToSjisText(back.get(), jis.get(), static_cast<std::int32_t>(length + 1)) !=
        static_cast<std::int32_t>(length)) {
        ruv::fuzz::Fail("round trip changed the length", data, size);
    }
    for (std::size_t i = 0; i < length; ++i) {
        if (back[i] != sjis[i]) ruv::fuzz::Fail("round trip changed the text", data, size);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::int32_t capacity = CapacityFrom(data[0]);
    const ruv::fuzz::TerminatedBytes text(data + 1, size - 1);
    ruv::fuzz::CheckCodec<std::uint8_t>(ruv::SjisToJisText, text.bytes.get(), capacity, data, size);
    ruv::fuzz::CheckCodec<std::uint8_t>(ruv::JisToSjisText, text.bytes.get(), capacity, data, size);
    CheckRoundTrip(data + 1, size - 1);
    return 0;
}
