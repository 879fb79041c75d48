// UTF-16 surrogate units: the one place their ranges are written down.
//
// A character beyond U+FFFF is a pair, a high unit (D800-DBFF) followed by a
// low one (DC00-DFFF).  A high unit without a low one after it, or a low unit
// without a high one before it, is a lone surrogate: no character at all.
// Every road writes it as "?", so no output ever holds one.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ruv {

inline constexpr char16_t LONE_SURROGATE_REPLACEMENT = u'?';

constexpr bool IsHighSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }
constexpr bool IsSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDFFF; }

// The character of a pair, and the two units of a character beyond U+FFFF.
constexpr char32_t PairCodePoint(char16_t high, char16_t low) {
    return 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) + (low - 0xDC00u);
}
constexpr char16_t HighSurrogateOf(char32_t cp) {
    return static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
}
constexpr char16_t LowSurrogateOf(char32_t cp) {
    return static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
}

// True when text[i] is a lone surrogate.  Reads text[i - 1] and text[i + 1],
// which may be the terminator.
constexpr bool IsLoneSurrogateAt(const char16_t* text, std::size_t i) {
    if (IsHighSurrogate(text[i])) return !IsLowSurrogate(text[i + 1]);
    return IsLowSurrogate(text[i]) && (i == 0 || !IsHighSurrogate(text[i - 1]));
}

static_assert(PairCodePoint(0xD83D, 0xDE00) == 0x1F600);
static_assert(HighSurrogateOf(0x10FFFF) == 0xDBFF && LowSurrogateOf(0x10FFFF) == 0xDFFF);

}  // namespace ruv
