// EUC-JP <-> Shift_JIS, and the Shift_JIS copy that folds half-width katakana.
//
//   where this differs from EUC-JP                                direction
//   half-width katakana are written as JIS X 0208 katakana        encode: folded, no SS2
//   IBM extensions FA40-FC4B are written through their code page  encode: as Microsoft's
//   932 equivalents (kanji: the NEC-selected rows 89-92)            EUC-JP
//   the user-defined area, unassigned codes and bytes that are    encode: replaced
//   no characters (80, A0, FD-FF, a lead byte without its trail)
//   become the "no counterpart" pair FE FE; every pair is A1-FE
//   JIS X 0212 characters (SS3 and two bytes A1-FE) become "?"    decode: replaced
//   a broken character becomes EF FC (SS3: "?") and the next      decode: replaced, the
//   byte is read on its own: a first byte A1-FE without a second    line end kept
//   byte A1-FE, SS2 without A1-DF, SS3 without two bytes A1-FE,
//   a byte 80-A0 or FF that begins nothing (B0 0A: EF FC LF)
#pragma once

#include <cstdint>

#include "platform/cp932.h"

namespace ruv {

std::int32_t SjisToEucText(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity,
                           LostCount* lost = nullptr);
std::int32_t EucToSjisText(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity,
                           LostCount* lost = nullptr);
// Folding replaces nothing: lost is never added to.
std::int32_t SjisToSjisText(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity,
                            LostCount* lost = nullptr);

}  // namespace ruv
