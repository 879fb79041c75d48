// ISO-2022-JP (RFC 1468) <-> Shift_JIS, one line at a time.
//
//   where this differs from RFC 1468                             direction
//   half-width katakana are written as JIS X 0208 katakana       encode: folded
//   IBM extensions FA40-FC4B are written through their code      encode
//   page 932 equivalents (kanji: the NEC-selected rows 89-92)
//   the user-defined area, unassigned codes and bytes that are   encode: replaced
//   no characters (80, A0, FD-FF, a lead byte without its trail)
//   become 7E7E; a kanji run holds only bytes 21-7E
//   an ESC of the text that would designate a set becomes "?"    encode: replaced
//   a text that ends in kanji mode is closed with ESC ( B        encode
//   ESC $ @ reads like ESC $ B; ESC ( J like ESC ( B             decode
//   ESC ( I and SO/SI (from Roman) give half-width katakana      decode: accepted
//   (bytes 21-5F; 60-7E become EF FC)
//   8-bit half-width katakana A1-DF pass; other 8-bit bytes      decode: accepted,
//   become EF FC                                                   or replaced
//   JIS X 0212 (ESC $ ( D) pairs become "?"                      decode: replaced
//   an unknown escape is copied byte by byte                     decode
//   a first byte of a pair without a second byte 21-7E gives     decode: replaced, the
//   EF FC (kanji mode) or "?" (JIS X 0212) and the next byte is    line end kept
//   read on its own
#pragma once

#include <cstdint>

#include "platform/cp932.h"

namespace ruv {

std::int32_t SjisToJisText(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity,
                           LostCount* lost = nullptr);
std::int32_t JisToSjisText(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity,
                           LostCount* lost = nullptr);

}  // namespace ruv
