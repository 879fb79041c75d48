// Code page 932 <-> UTF-16 on arbitrary input, both directions.  The first byte
// chooses the output capacity; the rest is the text, as bytes and as units.
// Beyond the text convention (checked by CheckCodec): every byte gives at most
// one unit, every unit at most two bytes, and whatever decoding gives (the
// default character for invalid bytes included) survives encoding and decoding
// again unchanged.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz_support.h"
#include "engine/utf8_codec.h"
#include "platform/cp932.h"

namespace {

template <typename T>
std::int32_t LengthOf(const T* text) {
    std::int32_t n = 0;
    while (text[n] != 0) ++n;
    return n;
}

void CheckRoundTrip(const std::uint8_t* text, const std::uint8_t* data, std::size_t size) {
    using namespace ruv;
    const std::int32_t wide_length = Cp932ToUtf16(nullptr, text, 0);
    if (wide_length > LengthOf(text)) fuzz::Fail("more units than bytes", data, size);
    std::unique_ptr<char16_t[]> wide(new char16_t[wide_length + 1]);
    if (Cp932ToUtf16(wide.get(), text, wide_length + 1) != wide_length) {
        fuzz::Fail("decoding failed with room to spare", data, size);
    }
    const std::int32_t byte_length = Utf16ToCp932(nullptr, wide.get(), 0);
    std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[byte_length + 1]);
    if (Utf16ToCp932(bytes.get(), wide.get(), byte_length + 1) != byte_length) {
        fuzz::Fail("encoding failed with room to spare", data, size);
    }
    std::unique_ptr<char16_t[]> again(new char16_t[wide_length + 1]);
    if (Cp932ToUtf16(again.get(), bytes.get(), wide_length + 1) != wide_length) {
        fuzz::Fail("decoding the encoded text changed its length", data, size);
    }
    for (std::int32_t i = 0; i < wide_length; ++i) {
        if (again[i] != wide[i]) fuzz::Fail("a decoded character did not round-trip", data, size);
    }
}

// Straight to UTF-8 gives what decoding to UTF-16 and then encoding gives.
void CheckStraightToUtf8(const std::uint8_t* text, const std::uint8_t* data, std::size_t size) {
    using namespace ruv;
    const std::int32_t units = Cp932ToUtf16(nullptr, text, 0);
    std::unique_ptr<char16_t[]> wide(new char16_t[units + 1]);
    Cp932ToUtf16(wide.get(), text, units + 1);
    const std::int32_t length = WideToUtf8Text(nullptr, wide.get(), 0);
    std::unique_ptr<std::uint8_t[]> twoSteps(new std::uint8_t[length + 1]);
    WideToUtf8Text(twoSteps.get(), wide.get(), length + 1);
    std::unique_ptr<std::uint8_t[]> oneStep(new std::uint8_t[length + 1]);
    if (Cp932ToUtf8(oneStep.get(), text, length + 1) != length) {
        fuzz::Fail("straight to UTF-8 has another length", data, size);
    }
    for (std::int32_t i = 0; i < length; ++i) {
        if (oneStep[i] != twoSteps[i]) fuzz::Fail("straight to UTF-8 differs", data, size);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ruv;
    if (size == 0) return 0;
    const std::int32_t capacity = data[0];
    const fuzz::TerminatedBytes bytes(data + 1, size - 1);
    fuzz::CheckCodec<char16_t>(Cp932ToUtf16, bytes.bytes.get(), capacity, data, size);
    fuzz::CheckCodec<std::uint8_t>(Cp932ToUtf8, bytes.bytes.get(), capacity, data, size);
    CheckRoundTrip(bytes.bytes.get(), data, size);
    CheckStraightToUtf8(bytes.bytes.get(), data, size);

    const fuzz::TerminatedUnits units(data + 1, size - 1);
    fuzz::CheckCodec<std::uint8_t>(Utf16ToCp932, units.units.get(), capacity, data, size);
    if (Utf16ToCp932(nullptr, units.units.get(), 0) > 2 * LengthOf(units.units.get())) {
        fuzz::Fail("more than two bytes per unit", data, size);
    }
    return 0;
}
