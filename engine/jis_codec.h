// ISO-2022-JP (RFC 1468) <-> Shift_JIS, one line at a time.
//
//   where this differs from RFC 1468                             direction
//   half-width katakana are written as JIS X 0208 katakana       encode: folded
//   ESC $ @ reads like ESC $ B; ESC ( J like ESC ( B             decode
//   ESC ( I and SO/SI (from Roman) give half-width katakana      decode: accepted
//   JIS X 0212 (ESC $ ( D) pairs become "?"                      decode: replaced
//   an unknown escape is copied byte by byte                     decode
//   a text that ends in kanji mode is closed with ESC ( B        encode
//   a first byte of a pair before the terminator gives EF FC     decode: never past the end
//   (kanji mode) or "?" (supplementary mode) and ends the text
#pragma once

#include <cstdint>

namespace ruv {

std::int32_t SjisToJisText(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity);
std::int32_t JisToSjisText(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity);

}  // namespace ruv
