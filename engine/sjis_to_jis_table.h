// SjisToJisChar in table form, for the encoders' inner loops.
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

inline std::uint16_t SjisPairToJis(std::uint8_t lead, std::uint8_t trail) {
    const unsigned row = kSjisToJisParts.row[lead];
    const unsigned rest = kSjisToJisParts.trail[trail];
    return row != 0 && rest != 0 ? static_cast<std::uint16_t>((row << 8) + rest) : JIS_INVALID;
}

}  // namespace ruv::detail
