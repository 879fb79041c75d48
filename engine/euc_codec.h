// EUC-JP <-> Shift_JIS, and the Shift_JIS copy that folds half-width katakana.
//
//   where this differs from EUC-JP                                direction
//   half-width katakana are written as JIS X 0208 katakana        encode: folded, no SS2
//   JIS X 0212 characters (SS3) become "?"                        decode: replaced
//   the trail byte is masked, not checked (B0 21 reads as B0 A1)  decode: lenient
//   user-defined area F040-FCFC is written as computed rows       encode
//   a pair or SS2 cut short by the terminator gives EF FC,        decode: never past the end
//   an SS3 character cut short gives "?"; the text ends there
#pragma once

#include <cstdint>

namespace ruv {

std::int32_t SjisToEucText(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity);
std::int32_t EucToSjisText(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity);
std::int32_t SjisToSjisText(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity);

}  // namespace ruv
