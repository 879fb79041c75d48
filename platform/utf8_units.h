// UTF-8 sequences of one character: the one place their bit layout is written.
#pragma once

#include <cstdint>

namespace ruv {

// Bytes of the UTF-8 form of cp (not a surrogate).
constexpr std::int32_t Utf8Length(char32_t cp) {
    return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

// Writes cp as its n-byte sequence, n = Utf8Length(cp): a lead byte marking the
// length, then six bits per continuation byte, the lowest bits last.
constexpr void PutUtf8(std::uint8_t* out, char32_t cp, std::int32_t n) {
    constexpr std::uint8_t kLead[5] = {0x00, 0x00, 0xC0, 0xE0, 0xF0};
    for (std::int32_t i = n - 1; i > 0; --i) {
        out[i] = static_cast<std::uint8_t>(0x80 | (cp & 0x3F));
        cp >>= 6;
    }
    out[0] = static_cast<std::uint8_t>(kLead[n] | cp);
}

}  // namespace ruv
