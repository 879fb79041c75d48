// UTF-8 (RFC 3629) <-> UTF-16.
//
//   where this differs from RFC 3629                          direction
//   a malformed sequence gives one "?" for its lead and the     decode: replaced, the
//   bytes that could still have continued it; the byte that       next byte (LF, the
//   broke it is read on its own (E3 81 0A: "?" LF)                terminator) kept
//   overlong forms (C0 AF, E0 80 AF), encoded surrogates        decode: replaced, never
//   (ED A0 80), code points above U+10FFFF, five- and six-byte    the character they
//   forms and stray continuation bytes give "?" (one per byte     imitate
//   that begins no sequence)
//   a four-byte sequence becomes its surrogate pair             decode
//   a surrogate pair is written as one four-byte sequence;      encode: a lone one
//   a lone surrogate as "?"                                       replaced
//   EF BB BF is an ordinary character (U+FEFF); none is written both
#pragma once

#include <cstdint>

#include "platform/cp932.h"

namespace ruv {

// Bytes of the sequence that a lead byte announces (1 to 6), by the lead byte
// alone: where a piece of text may be cut.  The decoder checks every byte itself.
constexpr std::int32_t Utf8SequenceLength(std::uint8_t lead) {
    if ((lead & 0xFC) == 0xFC) return 6;
    if ((lead & 0xF8) == 0xF8) return 5;
    if ((lead & 0xF0) == 0xF0) return 4;
    if ((lead & 0xE0) == 0xE0) return 3;
    if ((lead & 0xC0) == 0xC0) return 2;
    return 1;
}

// Text conversions, engine convention (capacity in output units; -1 when full).
std::int32_t WideToUtf8Text(std::uint8_t* out, const char16_t* text, std::int32_t capacity,
                            LostCount* lost = nullptr);
std::int32_t Utf8ToWideText(char16_t* out, const std::uint8_t* text, std::int32_t capacity,
                            LostCount* lost = nullptr);

}  // namespace ruv
