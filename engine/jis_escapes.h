// ISO-2022-JP control bytes, escape sequences and the modes they select: the
// one table the codec, the piece cutter, the single-pass roads and the
// detector all read.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace ruv {

inline constexpr std::uint8_t JIS_ESC = 0x1B;
inline constexpr std::uint8_t JIS_SO = 0x0E;  // katakana, from Roman mode
inline constexpr std::uint8_t JIS_SI = 0x0F;  // back to Roman, from katakana mode

// A byte of a JIS X 0208 or JIS X 0212 pair.
constexpr bool IsJisPairByte(std::uint8_t b) { return b >= 0x21 && b <= 0x7E; }

// Unread: a designation the decoder does not read (its bytes are copied).
enum class JisMode : std::uint8_t { Ascii, Roman, Katakana, Kanji, Supplementary, Unread };

struct JisEscape {
    std::uint8_t bytes[4];
    std::uint8_t length;
    JisMode mode;
    bool marksJis;  // the detector takes it as proof of ISO-2022-JP
};

// No row is the start of another, so the order decides no match; the first row
// of a mode is the one written to select it.
inline constexpr std::array<JisEscape, 8> JIS_ESCAPES{{
    {{JIS_ESC, '$', 'B'}, 3, JisMode::Kanji, true},                // JIS X 0208-1983
    {{JIS_ESC, '$', '@'}, 3, JisMode::Kanji, true},                // JIS X 0208-1978
    {{JIS_ESC, '$', '(', 'D'}, 4, JisMode::Supplementary, false},  // JIS X 0212
    {{JIS_ESC, '$', '(', 'O'}, 4, JisMode::Unread, true},          // JIS X 0213 plane 1
    {{JIS_ESC, '$', '(', 'P'}, 4, JisMode::Unread, true},          // JIS X 0213 plane 2
    {{JIS_ESC, '(', 'B'}, 3, JisMode::Ascii, false},
    {{JIS_ESC, '(', 'J'}, 3, JisMode::Roman, false},
    {{JIS_ESC, '(', 'I'}, 3, JisMode::Katakana, true},  // half-width katakana
}};

// The sequence written to select mode (not Unread).
constexpr const JisEscape& JisEscapeFor(JisMode mode) {
    for (const JisEscape& e : JIS_ESCAPES) {
        if (e.mode == mode) return e;
    }
    return JIS_ESCAPES[0];
}
inline constexpr const JisEscape& JIS_TO_KANJI = JisEscapeFor(JisMode::Kanji);
inline constexpr const JisEscape& JIS_TO_ASCII = JisEscapeFor(JisMode::Ascii);
static_assert(JIS_TO_KANJI.bytes[2] == 'B' && JIS_TO_ASCII.bytes[2] == 'B');

// True when the avail bytes at p begin with the n bytes of sequence.  A byte is
// read only after the ones before it matched, so a zero byte (never part of a
// sequence) ends the reading as avail does.
constexpr bool SequenceAt(const std::uint8_t* p, std::size_t avail, const std::uint8_t* sequence,
                          std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (i >= avail || p[i] != sequence[i]) return false;
    }
    return true;
}

// The table's row for the escape sequence at p, or null.
constexpr const JisEscape* MatchJisEscape(const std::uint8_t* p,
                                          std::size_t avail = static_cast<std::size_t>(-1)) {
    for (const JisEscape& e : JIS_ESCAPES) {
        if (SequenceAt(p, avail, e.bytes, e.length)) return &e;
    }
    return nullptr;
}

// Length of an escape sequence the decoder reads at p, storing the mode it
// selects; 0 for any other byte string (whose bytes are then read one by one).
constexpr std::int32_t ReadJisEscape(const std::uint8_t* p, JisMode& mode,
                                     std::size_t avail = static_cast<std::size_t>(-1)) {
    const JisEscape* e = MatchJisEscape(p, avail);
    if (e == nullptr || e->mode == JisMode::Unread) return 0;
    mode = e->mode;
    return e->length;
}

}  // namespace ruv
