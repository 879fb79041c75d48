// SjisReadChar inline and SjisToJisChar in table form, for the encoders' inner
// loops.
//
// The JIS row depends on the lead byte and on whether the trail byte is 0x9F or
// above; the cell on the trail byte alone.  Two small tables built from
// SjisToJisChar at compile time replace its branches (whose outcome follows the
// parity of each character's row, which real text makes unpredictable).  The
// result equals SjisToJisChar for every pair of bytes.
#pragma once

#include <array>
#include <cstdint>

#include "engine/sjis_primitives.h"

namespace ruv::detail {

// Row by lead byte for trail bytes below 0x9F, 0 for a byte that is no lead byte;
// (one more row) * 256 + cell by trail byte, 0 for a byte that is no trail byte.
struct SjisToJisParts {
    std::array<std::uint8_t, 256> row{};
    std::array<std::uint16_t, 256> trail{};
};

inline constexpr SjisToJisParts kSjisToJisParts = [] {
    SjisToJisParts t;
    for (unsigned b = 0; b < 256; ++b) {
        if (IsSjisLeadByte(static_cast<std::uint8_t>(b))) {
            t.row[b] = static_cast<std::uint8_t>(
                SjisToJisChar(static_cast<std::uint16_t>(b << 8 | 0x40)) >> 8);
        }
        const std::uint16_t jis = SjisToJisChar(static_cast<std::uint16_t>(0x8100 | b));
        if (jis != JIS_INVALID) t.trail[b] = static_cast<std::uint16_t>(jis - 0x2100);
    }
    return t;
}();

// SjisReadChar, inline: the exported function is this one.  A lead byte with any
// byte but the terminator after it is a pair; a half-width katakana byte is
// folded, joined with a following sound mark where a combined form exists.
inline std::uint16_t ReadSjisChar(const std::uint8_t* text, std::int32_t& length) {
    const std::uint8_t b0 = text[0];
    if (IsSjisLeadByte(b0) && text[1] != 0) {
        length = 2;
        return static_cast<std::uint16_t>(b0 << 8 | text[1]);
    }
    length = 1;  // a lone lead byte leaves the terminator unread
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

inline std::uint16_t SjisPairToJis(std::uint8_t lead, std::uint8_t trail) {
    const unsigned row = kSjisToJisParts.row[lead];
    const unsigned rest = kSjisToJisParts.trail[trail];
    return row != 0 && rest != 0 ? static_cast<std::uint16_t>((row << 8) + rest) : JIS_INVALID;
}

}  // namespace ruv::detail
