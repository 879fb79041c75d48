// ISO-2022-JP (RFC 1468) <-> Shift_JIS, one line at a time.  Every call starts
// in ASCII mode; the encoder ends in it too.
#include "engine/jis_codec.h"

#include <cstring>

#include "engine/byte_sink.h"
#include "engine/jis_to_sjis_table.h"
#include "engine/sjis_primitives.h"
#include "engine/sjis_to_jis_table.h"

namespace ruv {
namespace {

using detail::ByteSink;
using detail::LostKind;
using detail::LostKindOf;
using detail::Tallied;

constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kShiftOut = 0x0E;                   // SO: katakana, from Roman mode
constexpr std::uint8_t kShiftIn = 0x0F;                    // SI: back to Roman, from katakana mode
constexpr std::uint8_t kEscKanji[3] = {kEsc, 0x24, 0x42};  // ESC $ B
constexpr std::uint8_t kEscAscii[3] = {kEsc, 0x28, 0x42};  // ESC ( B

enum class JisMode { kAscii, kRoman, kKatakana, kKanji, kSupplementary };

// Length of the escape sequence at text (text[0] is ESC) and the mode it selects,
// or 0 for an unknown one.  Each byte is read only after the one before it
// matched, so a sequence cut off by the terminator is never read past.
std::int32_t MatchEscape(const std::uint8_t* text, JisMode& mode) {
    if (text[1] == 0x24) {  // $
        if (text[2] == 0x40 || text[2] == 0x42) {
            mode = JisMode::kKanji;  // ESC $ @, ESC $ B
            return 3;
        }
        if (text[2] == 0x28 && text[3] == 0x44) {
            mode = JisMode::kSupplementary;  // ESC $ ( D
            return 4;
        }
        return 0;
    }
    if (text[1] == 0x28) {  // (
        // clang-format off
        switch (text[2]) {
            case 0x42: mode = JisMode::kAscii; return 3;     // ESC ( B
            case 0x4A: mode = JisMode::kRoman; return 3;     // ESC ( J
            case 0x49: mode = JisMode::kKatakana; return 3;  // ESC ( I
            default: return 0;
        }
        // clang-format on
    }
    return 0;
}

// True for a pair byte of JIS X 0208 or JIS X 0212.
constexpr bool IsPairByte(std::uint8_t b) { return b >= 0x21 && b <= 0x7E; }

template <bool kWrite>
std::int32_t EncodeJis(ByteSink<kWrite> sink, const std::uint8_t* text) {
    const std::uint8_t* const end = detail::TextEnd(text);
    bool kanji = false;
    while (text < end) {
        if (*text < 0x80) {
            if (kanji) {
                if (!sink.PutSequence(kEscAscii)) return -1;
                kanji = false;
            }
            std::int32_t n = detail::AsciiRunLength(text, end);
            // An ESC of the text that would read as a designation is written as
            // "?": the output switches sets only where the encoder switches them.
            if (const void* esc = std::memchr(text, kEsc, static_cast<std::size_t>(n))) {
                n = static_cast<std::int32_t>(static_cast<const std::uint8_t*>(esc) - text);
                if (!sink.PutRun(text, n)) return -1;
                text += n;
                JisMode designated = JisMode::kAscii;
                const bool fits = MatchEscape(text, designated) != 0
                                      ? sink.PutLost('?', LostKind::NoCode)
                                      : sink.PutByte(kEsc);
                if (!fits) return -1;
                ++text;
                continue;
            }
            if (!sink.PutRun(text, n)) return -1;
            text += n;
            continue;
        }
        // Half-width katakana arrive folded.  A single byte from 0x80 up (0x80,
        // 0xA0, 0xFD-0xFF, a lead byte without its trail byte) is no character:
        // like a pair without a JIS row and cell it becomes the "no counterpart"
        // 7E7E, so a kanji run holds only bytes 21-7E.  A source 7E7E (Shift_JIS
        // EF FC) is that pair already, which it keeps: nothing is replaced.
        std::int32_t length = 0;
        const std::uint16_t value = detail::ReadSjisChar(text, length);
        text += length;
        if (!kanji) {
            if (!sink.PutSequence(kEscKanji)) return -1;
            kanji = true;
        }
        const std::uint16_t jis =
            value < 0x100 ? JIS_INVALID : detail::SjisPairToJis(value >> 8, value & 0xFF);
        if (jis == JIS_INVALID && value != SJIS_INVALID) [[unlikely]] {
            if (!sink.PutLost(JIS_INVALID, LostKindOf(value))) return -1;
        } else if (!sink.PutPair(jis)) {
            return -1;
        }
    }
    // RFC 1468: a text ends in ASCII, so the next line is not read as kanji.
    if (kanji && !sink.PutSequence(kEscAscii)) return -1;
    return sink.Finish();
}

// Bytes from p up to the first ESC, SO or 8-bit byte, or end (p <= end); eight
// at a time while there is none.
std::int32_t PlainRunLength(const std::uint8_t* p, const std::uint8_t* end) {
    const std::uint8_t* q = p;
    while (end - q >= 8) {
        const std::uint64_t word = detail::LoadWord(q);
        if ((word & detail::kHighBits) != 0 || detail::WordHasByte(word, kEsc) ||
            detail::WordHasByte(word, kShiftOut)) {
            break;
        }
        q += 8;
    }
    while (q < end && *q < 0x80 && *q != kEsc && *q != kShiftOut) ++q;
    return static_cast<std::int32_t>(q - p);
}

template <bool kWrite>
std::int32_t DecodeJis(ByteSink<kWrite> sink, const std::uint8_t* text) {
    const std::uint8_t* const end = detail::TextEnd(text);
    JisMode mode = JisMode::kAscii;
    for (;;) {
        if (mode == JisMode::kAscii || mode == JisMode::kRoman) {
            // Everything but ESC, SO and 8-bit bytes is copied in these modes.
            const std::int32_t n = PlainRunLength(text, end);
            if (!sink.PutRun(text, n)) return -1;
            text += n;
        } else if (mode == JisMode::kKanji) {
            // Whole pairs; anything else goes to the cases below.
            while (IsPairByte(text[0]) && IsPairByte(text[1])) {
                if (!sink.PutPair(detail::JisPairToSjis(text[0], text[1]))) return -1;
                text += 2;
            }
        }
        const std::uint8_t b = *text;
        if (b == 0) break;
        if (b == kEsc) {
            if (const std::int32_t length = MatchEscape(text, mode); length != 0) {
                text += length;
                continue;
            }
        } else if (b == kShiftIn && mode == JisMode::kKatakana) {
            mode = JisMode::kRoman;
            ++text;
            continue;
        } else if (b == kShiftOut && mode == JisMode::kRoman) {
            mode = JisMode::kKatakana;
            ++text;
            continue;
        }
        // A character byte.  Controls, space and DEL never pair; an 8-bit byte
        // is kept where it is a half-width katakana, else it is no character
        // (and a Shift_JIS lead byte would take the next byte with it).
        bool fits;
        std::int32_t length = 1;
        if (b >= 0x80) {
            fits =
                IsHalfWidthKana(b) ? sink.PutByte(b) : sink.PutLost(SJIS_INVALID, LostKind::Broken);
        } else if (!IsPairByte(b) || mode == JisMode::kAscii || mode == JisMode::kRoman) {
            fits = sink.PutByte(b);
        } else if (mode == JisMode::kKatakana) {
            // JIS X 0201 katakana are 21-5F; 60-7E would become lead bytes.
            fits =
                b <= 0x5F ? sink.PutByte(b | 0x80) : sink.PutLost(SJIS_INVALID, LostKind::Broken);
        } else if (mode == JisMode::kKanji) {
            // A first byte without a second pair byte (LF, the terminator, ...):
            // one replacement, and the next byte is read on its own.
            fits = sink.PutLost(SJIS_INVALID, LostKind::Broken);
        } else {
            // JIS X 0212 has no Shift_JIS form: "?" for a pair, or for a first
            // byte without its second.
            if (IsPairByte(text[1])) length = 2;
            fits = sink.PutLost('?', LostKind::NoCode);
        }
        if (!fits) return -1;
        text += length;
    }
    return sink.Finish();
}

}  // namespace

std::int32_t SjisToJisText(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity,
                           LostCount* lost) {
    return Tallied(lost, [&](LostCount& tally) {
        if (out == nullptr) return EncodeJis(ByteSink<false>(out, capacity, tally), text);
        return EncodeJis(ByteSink<true>(out, capacity, tally), text);
    });
}

std::int32_t JisToSjisText(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity,
                           LostCount* lost) {
    return Tallied(lost, [&](LostCount& tally) {
        if (out == nullptr) return DecodeJis(ByteSink<false>(out, capacity, tally), text);
        return DecodeJis(ByteSink<true>(out, capacity, tally), text);
    });
}

}  // namespace ruv
