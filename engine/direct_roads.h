// Single-pass roads for clean pieces: between EUC-JP and ISO-2022-JP (RFC 1468),
// from either to UTF-8 and UTF-16, from UTF-8 to Shift_JIS, EUC-JP and JIS, and
// from UTF-16 to EUC-JP and JIS.
//
// The line converter's general road decodes to Shift_JIS and encodes from it
// (through UTF-16 from UTF-8).  For the common text of these codes the result
// is known without the middle steps, so these functions write it in one pass,
// byte for byte what the steps give, and decline every piece they do not cover:
//
//   source    a clean piece holds only
//   EUC-JP    bytes 01-7F but ESC, SO, SI; JIS X 0208 pairs with both bytes A1-FE
//             (to a Unicode form: pairs that code page 932 assigns)
//   JIS       ESC $ B and ESC ( B; bytes 01-7F but ESC, SO, SI in ASCII mode;
//             whole pairs of bytes 21-7E in kanji mode (to a Unicode form: pairs
//             that code page 932 assigns)
//   UTF-8     bytes 01-7F but ESC, SO, SI; well-formed two- and three-byte
//             sequences of characters that code page 932 has (to EUC-JP and JIS:
//             double-byte ones with a JIS X 0208 row and cell, or a 7-bit byte)
//   UTF-16    as UTF-8, each unit a character: units 0001-007F but ESC, SO, SI,
//             and no surrogate
//
//   where this differs from the road through Shift_JIS           direction
//   a piece that is not clean is declined, nothing decided        all
//   output that would come within a few bytes of the capacity     all: declined, so the
//   is declined                                                   road through Shift_JIS decides
//
// So a direct road never replaces a character: the replaced-character count of
// a piece it takes is zero on both roads.
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
// holds capacity bytes (UTF-16: units), and returns its length (below
// capacity), or DIRECT_ROAD_DECLINED.
std::int32_t EucToEucDirect(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity);
std::int32_t EucToJisDirect(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity);
std::int32_t JisToEucDirect(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity);
std::int32_t JisToJisDirect(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity);

std::int32_t EucToUtf8Direct(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity);
std::int32_t JisToUtf8Direct(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity);
std::int32_t EucToUtf16Direct(char16_t* out, const std::uint8_t* text, std::int32_t capacity);
std::int32_t JisToUtf16Direct(char16_t* out, const std::uint8_t* text, std::int32_t capacity);

// UTF-8 to Shift_JIS as code page 932 writes it, half-width katakana unfolded.
std::int32_t Utf8ToSjisDirect(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity);
std::int32_t Utf8ToEucDirect(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity);
std::int32_t Utf8ToJisDirect(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity);

// UTF-16 to EUC-JP and JIS, as UTF-8 is taken: its units are the characters.
std::int32_t Utf16ToEucDirect(std::uint8_t* out, const char16_t* text, std::int32_t capacity);
std::int32_t Utf16ToJisDirect(std::uint8_t* out, const char16_t* text, std::int32_t capacity);

}  // namespace ruv
