// Shift_JIS character primitives and the half-width katakana tables.
//
// Every Shift_JIS-based codec reads characters the way SjisReadChar does (the
// codecs use its inline form in sjis_to_jis_table.h), which always folds
// half-width katakana (0xA1-0xDF) into full-width katakana and joins a following
// voiced (0xDE) or semi-voiced (0xDF) sound mark where a combined form exists.
// A character value is one byte b (0x00-0xFF) or lead*256+trail; 0 ends a text.
//
//   where this differs from a bare reading of the byte classes      direction
//   a lead byte before a byte that is no trail byte (00-3F, 7F,      never eats a line end
//   FD-FF: the terminator, LF, ...) reads as that byte alone          nor steps past the end
//   (length 1); the next byte is read on its own, as the code
//   page 932 decoder reads it
#pragma once

#include <array>
#include <cstdint>

#include "platform/cp932.h"

namespace ruv {

inline constexpr std::uint16_t JIS_INVALID = 0x7E7E;   // SjisToJisChar of an invalid value
inline constexpr std::uint16_t SJIS_INVALID = 0xEFFC;  // JisToSjisChar of an invalid value

// Indexed by the half-width byte minus 0xA0 (0xA0-0xDF); entry 0 is unused.
extern const std::array<std::uint16_t, 64> KanaSingleTable;
extern const std::array<std::uint16_t, 64> KanaVoicedTable;      // when the next byte is 0xDE
extern const std::array<std::uint16_t, 64> KanaSemiVoicedTable;  // when the next byte is 0xDF

constexpr bool IsSjisLeadByte(std::uint8_t b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
constexpr bool IsSjisTrailByte(std::uint8_t b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }
constexpr bool IsHalfWidthKana(std::uint8_t b) { return b >= 0xA1 && b <= 0xDF; }

// Reads one character at text (zero-terminated); stores the bytes taken (1 or 2).
std::uint16_t SjisReadChar(const std::uint8_t* text, std::int32_t& length);

// Shift_JIS double-byte value <-> JIS X 0208 row/cell value.
//   row  = (hi - 0x71)*2 + 1 (hi <= 0x9F) or (hi - 0xB1)*2 + 1, one more when lo >= 0x9F
//   cell = lo - 0x1F (lo <= 0x7E), lo - 0x20 (0x80-0x9E), lo - 0x7E (lo >= 0x9F)
// Lead bytes 0xF0-0xFC give rows 0x7F-0x98 and are returned as computed.
constexpr std::uint16_t SjisToJisChar(std::uint16_t value) {
    const unsigned hi = value >> 8;
    const unsigned lo = value & 0xFF;
    if (!IsSjisLeadByte(static_cast<std::uint8_t>(hi)) || lo < 0x40 || lo == 0x7F || lo > 0xFC) {
        return JIS_INVALID;
    }
    unsigned row = (hi <= 0x9F ? (hi - 0x71) : (hi - 0xB1)) * 2 + 1;
    unsigned cell;
    if (lo >= 0x9F) {
        ++row;
        cell = lo - 0x7E;
    } else {
        cell = lo <= 0x7E ? lo - 0x1F : lo - 0x20;
    }
    return static_cast<std::uint16_t>(row * 256 + cell);
}

constexpr std::uint16_t JisToSjisChar(std::uint16_t value) {
    const unsigned row = value >> 8;
    const unsigned cell = value & 0xFF;
    if (row < 0x21 || row > 0x7E || cell < 0x21 || cell > 0x7E) return SJIS_INVALID;
    unsigned second = cell + ((row & 1) ? 0x1F : 0x7D);
    if (second >= 0x7F) ++second;
    unsigned first = (row - 0x21) / 2 + 0x81;
    if (first > 0x9F) first += 0x40;
    return static_cast<std::uint16_t>(first * 256 + second);
}

static_assert(SjisToJisChar(0x8140) == 0x2121 && JisToSjisChar(0x2121) == 0x8140);
static_assert(SjisToJisChar(0x889F) == 0x3021 && JisToSjisChar(0x3021) == 0x889F);
static_assert(SjisToJisChar(0xEFFC) == JIS_INVALID && JisToSjisChar(JIS_INVALID) == SJIS_INVALID);
static_assert(SjisToJisChar(0xF040) == 0x7F21 && JisToSjisChar(0x7F21) == SJIS_INVALID);
static_assert(SjisToJisChar(0x817F) == JIS_INVALID && SjisToJisChar(0x81FC) == 0x227E);
static_assert(JisToSjisChar(0x2221) == 0x819F && JisToSjisChar(0x237E) == 0x829E);
static_assert(SjisToJisChar(0xA0A1) == JIS_INVALID && SjisToJisChar(0x829F) == 0x2421);
static_assert(JisToSjisChar(0x2120) == SJIS_INVALID && JisToSjisChar(0x7F7E) == SJIS_INVALID);

// Zero-terminated code page 932 text <-> zero-terminated UTF-16, capacity in
// output units; the count without the terminator, or -1 when it does not fit.
// out may be null: then only the needed length is returned.
std::int32_t AnsiToWide(char16_t* out, const std::uint8_t* text, std::int32_t capacity,
                        LostCount* lost = nullptr);
std::int32_t WideToAnsi(std::uint8_t* out, const char16_t* text, std::int32_t capacity,
                        LostCount* lost = nullptr);
// Code page 932 text straight to UTF-8: what AnsiToWide and then UTF-8
// encoding give, in one pass; capacity in bytes.
std::int32_t AnsiToUtf8(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity,
                        LostCount* lost = nullptr);

}  // namespace ruv
