// Scans of zero-terminated byte text eight bytes at a time: the ASCII runs the
// codecs copy in one piece, and the word tests they stop on.
#pragma once

#include <cstdint>
#include <cstring>

namespace ruv::detail {

// The end of a zero-terminated text: the address of its terminator.  The codecs
// find it first, so their runs may be scanned eight bytes at a time without
// ever reading past it.
inline const std::uint8_t* TextEnd(const std::uint8_t* text) {
    return text + std::strlen(reinterpret_cast<const char*>(text));
}

inline constexpr std::uint64_t kHighBits = 0x8080808080808080u;
inline constexpr std::uint64_t kLowBits = 0x0101010101010101u;

inline std::uint64_t LoadWord(const std::uint8_t* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// True when some byte of word equals b (the classic zero-byte test on word ^ b...b).
inline bool WordHasByte(std::uint64_t word, std::uint8_t b) {
    const std::uint64_t x = word ^ (kLowBits * b);
    return ((x - kLowBits) & ~x & kHighBits) != 0;
}

// Bytes from p up to the first byte >= 0x80 or end (p <= end).
inline std::int32_t AsciiRunLength(const std::uint8_t* p, const std::uint8_t* end) {
    const std::uint8_t* q = p;
    while (end - q >= 8 && (LoadWord(q) & kHighBits) == 0) q += 8;
    while (q < end && *q < 0x80) ++q;
    return static_cast<std::int32_t>(q - p);
}

}  // namespace ruv::detail
