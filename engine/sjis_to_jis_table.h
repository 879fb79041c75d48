// SjisReadChar inline, and the JIS X 0208 row and cell that the EUC-JP and
// ISO-2022-JP encoders write for a Shift_JIS pair.
//
// The JIS row depends on the lead byte and on whether the trail byte is 0x9F or
// above; the cell on the trail byte alone.  Two small tables built from
// SjisToJisChar at compile time replace its branches (whose outcome follows the
// parity of each character's row, which real text makes unpredictable).
//
//   Shift_JIS pair                     JIS row and cell written
//   lead 81-9F, E0-EF                  SjisToJisChar: rows 21-7E
//   IBM extension FA40-FC4B            those of its code page 932 equivalent
//   user-defined F040-F9FC, the rest   JIS_INVALID, the "no counterpart" 7E7E
//
// So every row and cell the encoders write lies in 21-7E.
#pragma once

#include <array>
#include <cstdint>

#include "engine/sjis_primitives.h"

namespace ruv::detail {

// Row by lead byte for trail bytes below 0x9F, 0 for a byte that is no lead byte
// or a lead byte F0-FC (rows beyond 7E);
// (one more row) * 256 + cell by trail byte, 0 for a byte that is no trail byte.
struct SjisToJisParts {
    std::array<std::uint8_t, 256> row{};
    std::array<std::uint16_t, 256> trail{};
};

inline constexpr SjisToJisParts kSjisToJisParts = [] {
    SjisToJisParts t;
    for (unsigned b = 0; b < 256; ++b) {
        if (IsSjisLeadByte(static_cast<std::uint8_t>(b)) && b < 0xF0) {  // rows 21-7E
            t.row[b] = static_cast<std::uint8_t>(
                SjisToJisChar(static_cast<std::uint16_t>(b << 8 | 0x40)) >> 8);
        }
        const std::uint16_t jis = SjisToJisChar(static_cast<std::uint16_t>(0x8100 | b));
        if (jis != JIS_INVALID) t.trail[b] = static_cast<std::uint16_t>(jis - 0x2100);
    }
    return t;
}();

// SjisReadChar, inline: the exported function is this one.  A lead byte with a
// trail byte after it is a pair; a half-width katakana byte is folded, joined
// with a following sound mark where a combined form exists.
inline std::uint16_t ReadSjisChar(const std::uint8_t* text, std::int32_t& length) {
    const std::uint8_t b0 = text[0];
    if (IsSjisLeadByte(b0) && IsSjisTrailByte(text[1])) {
        length = 2;
        return static_cast<std::uint16_t>(b0 << 8 | text[1]);
    }
    length = 1;  // a lone lead byte: the next byte (LF, the terminator) is read on its own
    if (!IsHalfWidthKana(b0)) return b0;
    // text[1] exists: b0 is not the terminator, so at worst text[1] is.
    const unsigned index = b0 - 0xA0u;
    std::uint16_t joined = 0;
    if (text[1] == 0xDE) joined = KanaVoicedTable[index];      // voiced sound mark
    if (text[1] == 0xDF) joined = KanaSemiVoicedTable[index];  // semi-voiced sound mark
    if (joined == 0) return KanaSingleTable[index];
    length = 2;
    return joined;
}

// The row and cell of a pair outside rows 21-7E: an IBM extension's equivalent,
// or JIS_INVALID.
std::uint16_t UnplacedPairToJis(std::uint8_t lead, std::uint8_t trail);

// The row and cell the encoders write for a Shift_JIS pair (table above).
inline std::uint16_t SjisPairToJis(std::uint8_t lead, std::uint8_t trail) {
    const unsigned row = kSjisToJisParts.row[lead];
    const unsigned rest = kSjisToJisParts.trail[trail];
    if (row != 0 && rest != 0) return static_cast<std::uint16_t>((row << 8) + rest);
    return UnplacedPairToJis(lead, trail);
}

}  // namespace ruv::detail
