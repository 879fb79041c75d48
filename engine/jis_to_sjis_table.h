// JisToSjisChar in table form, for the decoders' inner loops.
//
// The Shift_JIS lead byte depends on the row alone and the trail byte on the
// cell and the row's parity, so two small tables built from JisToSjisChar at
// compile time replace its branches (whose outcome follows the parity of each
// row, which real text makes unpredictable).  The result equals JisToSjisChar
// for every row and cell byte.
#pragma once

#include <array>
#include <cstdint>

#include "engine/sjis_primitives.h"

namespace ruv::detail {

// Lead byte by row byte, trail byte by (row parity, cell byte); 0 outside 0x21-0x7E.
struct JisToSjisBytes {
    std::array<std::uint8_t, 256> lead{};
    std::array<std::uint8_t, 512> trail{};
};

inline constexpr JisToSjisBytes kJisToSjisBytes = [] {
    JisToSjisBytes t;
    for (unsigned b = 0x21; b <= 0x7E; ++b) {
        t.lead[b] = static_cast<std::uint8_t>(
            JisToSjisChar(static_cast<std::uint16_t>(b << 8 | 0x21)) >> 8);
        // Rows 0x21 (odd) and 0x22 (even) stand for their parity.
        t.trail[0x100 | b] =
            static_cast<std::uint8_t>(JisToSjisChar(static_cast<std::uint16_t>(0x2100 | b)));
        t.trail[b] =
            static_cast<std::uint8_t>(JisToSjisChar(static_cast<std::uint16_t>(0x2200 | b)));
    }
    return t;
}();

inline std::uint16_t JisPairToSjis(std::uint8_t row, std::uint8_t cell) {
    const unsigned lead = kJisToSjisBytes.lead[row];
    const unsigned trail = kJisToSjisBytes.trail[(row & 1u) << 8 | cell];
    return lead != 0 && trail != 0 ? static_cast<std::uint16_t>(lead << 8 | trail) : SJIS_INVALID;
}

}  // namespace ruv::detail
