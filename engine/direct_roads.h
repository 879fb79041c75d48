// Single-pass roads between EUC-JP and ISO-2022-JP (RFC 1468) for clean pieces.
//
// The line converter's general road decodes to Shift_JIS and encodes from it.
// For the common text of these two codes the result is known without the
// middle step, so these functions write it in one pass, byte for byte what the
// two steps give, and decline every piece they do not cover:
//
//   source    a clean piece holds only
//   EUC-JP    bytes 01-7F but ESC, SO, SI; JIS X 0208 pairs with both bytes A1-FE
//   JIS       ESC $ B and ESC ( B; bytes 01-7F but ESC, SO, SI in ASCII mode;
//             whole pairs of bytes 21-7E in kanji mode
//
//   where this differs from the two-step road                    direction
//   a piece that is not clean is declined, nothing decided        both
//   output that would come within a few bytes of the capacity     both: declined, so the
//   is declined                                                   two-step road decides
//
// The JIS output is the encoder's: ESC $ B before a pair in ASCII mode, ESC ( B
// before a byte in kanji mode and at the end of a text left in kanji mode, so
// an empty kanji run and a repeated designation leave no trace.
#pragma once

#include <cstdint>

namespace ruv {

// What a direct road returns for a piece it does not cover.
inline constexpr std::int32_t DIRECT_ROAD_DECLINED = -2;

// Each writes the terminated result of the terminated text into out, which
// holds capacity bytes, and returns its length (below capacity), or
// DIRECT_ROAD_DECLINED.
std::int32_t EucToEucDirect(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity);
std::int32_t EucToJisDirect(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity);
std::int32_t JisToEucDirect(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity);
std::int32_t JisToJisDirect(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity);

}  // namespace ruv
