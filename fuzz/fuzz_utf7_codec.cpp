// UTF-7 codec: the engine convention with exactly sized blocks (the decoder may
// refuse a text, and then must refuse it at every capacity), no lone surrogate
// in what it decodes, and the round trip of any UTF-16 through UTF-7, read back
// leniently and strictly, with lone surrogates as "?".  The first input byte
// picks the capacity.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "engine/utf7_codec.h"
#include "fuzz_support.h"
#include "platform/utf16_units.h"

namespace {

using ruv::fuzz::Fail;

void CheckDecoder(const std::uint8_t* text, std::int32_t capacity, const std::uint8_t* data,
                  std::size_t size) {
    if (ruv::Utf7ToWideText(nullptr, text, capacity) >= 0) {
        // Measuring finds no lone surrogate: they are found among the units written.
        ruv::fuzz::CheckCodec<char16_t>(ruv::Utf7ToWideText, text, capacity, data, size, false);
        return;
    }
    std::unique_ptr<char16_t[]> out(new char16_t[capacity]);
    if (ruv::Utf7ToWideText(out.get(), text, capacity) != -1) {
        Fail("a refused text decoded when written", data, size);
    }
}

// The strict reading accepts a subset of what the lenient one does and reads
// it the same; whatever the encoder writes is in that subset.
void CheckStrictDecoder(const std::uint8_t* text, const std::uint8_t* data, std::size_t size) {
    const auto capacity = static_cast<std::int32_t>(size) + 2;
    std::unique_ptr<char16_t[]> strict(new char16_t[capacity]);
    std::unique_ptr<char16_t[]> lenient(new char16_t[capacity]);
    const std::int32_t n = ruv::Utf7ToWideTextStrict(strict.get(), text, capacity);
    const std::int32_t m = ruv::Utf7ToWideText(lenient.get(), text, capacity);
    for (std::int32_t i = 0; i < m; ++i) {
        if (ruv::IsLoneSurrogateAt(lenient.get(), i)) Fail("decoded a lone surrogate", data, size);
    }
    if (n >= 0 && (m != n || std::memcmp(strict.get(), lenient.get(), sizeof(char16_t) * n) != 0)) {
        Fail("the strict reading differs from the lenient one", data, size);
    }
}

// Any UTF-16 through UTF-7 and back, both readings: the same units, each lone
// surrogate as "?" and counted once, by the encoder.
void CheckRoundTrip(const char16_t* text, const std::uint8_t* data, std::size_t size) {
    std::int32_t count = 0;
    while (text[count] != 0) ++count;
    const std::int32_t encoded = ruv::WideToUtf7Text(nullptr, text, 0);
    std::unique_ptr<std::uint8_t[]> middle(new std::uint8_t[encoded + 1]);
    ruv::LostCount lost;
    if (ruv::WideToUtf7Text(middle.get(), text, encoded + 1, &lost) != encoded) {
        Fail("encoding failed", data, size);
    }
    std::uint32_t lone = 0;
    for (std::int32_t i = 0; i < count; ++i) lone += ruv::IsLoneSurrogateAt(text, i) ? 1 : 0;
    if (lost.broken != lone || lost.noCode != 0) Fail("the encoder miscounted", data, size);
    std::unique_ptr<char16_t[]> back(new char16_t[count + 1]);
    for (const auto decode : {ruv::Utf7ToWideText, ruv::Utf7ToWideTextStrict}) {
        if (decode(back.get(), middle.get(), count + 1, &lost) != count) {
            Fail("round trip changed the length", data, size);
        }
        if (lost.Total() != lone) Fail("the decoder replaced a character", data, size);
        for (std::int32_t i = 0; i < count; ++i) {
            const bool lone = ruv::IsLoneSurrogateAt(text, i);
            if (back[i] != (lone ? u'?' : text[i])) Fail("round trip changed the text", data, size);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::int32_t capacity = ruv::fuzz::CapacityFrom(data[0]);
    ++data;
    --size;
    const ruv::fuzz::TerminatedBytes bytes(data, size);
    CheckDecoder(bytes.bytes.get(), capacity, data, size);
    CheckStrictDecoder(bytes.bytes.get(), data, size);
    const ruv::fuzz::TerminatedUnits units(data, size);
    ruv::fuzz::CheckCodec<std::uint8_t>(ruv::WideToUtf7Text, units.units.get(), capacity, data,
                                        size);
    CheckRoundTrip(units.units.get(), data, size);
    return 0;
}
