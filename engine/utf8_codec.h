// UTF-8 (RFC 3629) <-> UTF-16.
//
//   where this differs from RFC 3629                          direction
//   the length comes from the lead byte alone (C0-DF 2, E0-EF 3, decode: lenient
//   F0-F7 4, F8-FB 5, FC-FF 6); continuation bits are masked
//   off untested, overlong forms and encoded surrogates pass
//   a stray continuation byte 80-BF reads as U+0080-U+00BF      decode: lenient
//   a valid four-byte sequence becomes its surrogate pair;      decode
//   any other sequence of four to six bytes becomes "?"
//   a surrogate pair is written as one four-byte sequence;      encode
//   a lone surrogate as its own three-byte form
//   a sequence cut short by the terminator reads its lead byte  decode: never past the end
//   as the character of the same number
//   a multi-byte form of zero (C0 80) becomes "?", not the end   decode: keeps the line
//   EF BB BF is an ordinary character (U+FEFF); none is written both
#pragma once

#include <cstdint>

namespace ruv {

// Bytes of the sequence that starts with lead, by the lead byte alone (1 to 6).
constexpr std::int32_t Utf8SequenceLength(std::uint8_t lead) {
    if ((lead & 0xFC) == 0xFC) return 6;
    if ((lead & 0xF8) == 0xF8) return 5;
    if ((lead & 0xF0) == 0xF0) return 4;
    if ((lead & 0xE0) == 0xE0) return 3;
    if ((lead & 0xC0) == 0xC0) return 2;
    return 1;
}

// One sequence at bytes as a 16-bit value (0xFFFF for four to six bytes); the
// length, Utf8SequenceLength of the lead, is stored through length unless it is
// null.  No byte after a zero byte is read: a sequence that the terminator cuts
// short reads as its lead byte alone, with length 1.
std::uint16_t Utf8ReadChar(const std::uint8_t* bytes, std::int32_t* length);

// The UTF-8 form of one unit (1 to 3 bytes) and a zero byte; buffer holds 4.
std::int32_t Utf8WriteChar(std::uint8_t* buffer, std::uint16_t unit);

// Text conversions, engine convention (capacity in output units; -1 when full).
std::int32_t WideToUtf8Text(std::uint8_t* out, const char16_t* text, std::int32_t capacity);
std::int32_t Utf8ToWideText(char16_t* out, const std::uint8_t* text, std::int32_t capacity);

}  // namespace ruv
