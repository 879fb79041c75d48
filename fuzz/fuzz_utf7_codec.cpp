// UTF-7 codec: the engine convention with exactly sized blocks (the decoder may
// refuse a text, and then must refuse it at every capacity), and the round trip
// of any UTF-16 through UTF-7, read back leniently and strictly.  The first
// input byte picks the capacity.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "engine/utf7_codec.h"
#include "fuzz_support.h"

namespace {

using ruv::fuzz::Fail;


void CheckDecoder(const std::uint8_t* text, std::int32_t capacity, const std::uint8_t* data,
                  std::size_t size) {
    if (ruv::Utf7ToWideText(nullptr, text, capacity) >= 0) {
        ruv::fuzz::CheckCodec<char16_t>(ruv::Utf7ToWideText, text, capacity, data, size);
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
    if (n < 0) return;
    if (ruv::Utf7ToWideText(lenient.get(), text, capacity) != n ||
        std::memcmp(strict.get(), lenient.get(), sizeof(char16_t) * n) != 0) {
        Fail("the strict reading differs from the lenient one", data, size);
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
    ruv::fuzz::CheckRoundTrip<std::uint8_t>(ruv::WideToUtf7Text, ruv::Utf7ToWideText, units.units.get(), data, size);
    ruv::fuzz::CheckRoundTrip<std::uint8_t>(ruv::WideToUtf7Text, ruv::Utf7ToWideTextStrict,
                                            units.units.get(), data, size);
    return 0;
}
