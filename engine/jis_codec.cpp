// ISO-2022-JP (RFC 1468) <-> Shift_JIS, one line at a time.  Every call starts
// in ASCII mode; the encoder ends in it too.
#include "engine/jis_codec.h"

#include <cstring>

#include "engine/byte_sink.h"
#include "engine/jis_escapes.h"
#include "engine/jis_to_sjis_table.h"
#include "engine/sjis_primitives.h"
#include "engine/sjis_to_jis_table.h"

namespace ruv {
namespace {

using detail::ByteSink;
using detail::LostKind;
using detail::LostKindOf;

template <bool kWrite>
std::int32_t EncodeJis(ByteSink<kWrite> sink, const std::uint8_t* text) {
    const std::uint8_t* const end = detail::TextEnd(text);
    bool kanji = false;
    while (text < end) {
        if (*text < 0x80) {
            if (kanji) {
                if (!sink.PutSequence(JIS_TO_ASCII.bytes, JIS_TO_ASCII.length)) return -1;
                kanji = false;
            }
            std::int32_t n = detail::AsciiRunLength(text, end);
            // An ESC of the text that would read as a designation is written as
            // "?": the output switches sets only where the encoder switches them.
            if (const void* esc = std::memchr(text, JIS_ESC, static_cast<std::size_t>(n))) {
                n = static_cast<std::int32_t>(static_cast<const std::uint8_t*>(esc) - text);
                if (!sink.PutRun(text, n)) return -1;
                text += n;
                JisMode designated = JisMode::Ascii;
                const bool fits = ReadJisEscape(text, designated) != 0
                                      ? sink.PutLost('?', LostKind::NoCode)
                                      : sink.PutByte(JIS_ESC);
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
            if (!sink.PutSequence(JIS_TO_KANJI.bytes, JIS_TO_KANJI.length)) return -1;
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
    if (kanji && !sink.PutSequence(JIS_TO_ASCII.bytes, JIS_TO_ASCII.length)) return -1;
    return sink.Finish();
}

// Bytes from p up to the first ESC, SO or 8-bit byte, or end (p <= end); eight
// at a time while there is none.
std::int32_t PlainRunLength(const std::uint8_t* p, const std::uint8_t* end) {
    const std::uint8_t* q = p;
    while (end - q >= 8) {
        const std::uint64_t word = detail::LoadWord(q);
        if ((word & detail::kHighBits) != 0 || detail::WordHasByte(word, JIS_ESC) ||
            detail::WordHasByte(word, JIS_SO)) {
            break;
        }
        q += 8;
    }
    while (q < end && *q < 0x80 && *q != JIS_ESC && *q != JIS_SO) ++q;
    return static_cast<std::int32_t>(q - p);
}

template <bool kWrite>
std::int32_t DecodeJis(ByteSink<kWrite> sink, const std::uint8_t* text) {
    const std::uint8_t* const end = detail::TextEnd(text);
    JisMode mode = JisMode::Ascii;
    for (;;) {
        if (mode == JisMode::Ascii || mode == JisMode::Roman) {
            // Everything but ESC, SO and 8-bit bytes is copied in these modes.
            const std::int32_t n = PlainRunLength(text, end);
            if (!sink.PutRun(text, n)) return -1;
            text += n;
        } else if (mode == JisMode::Kanji) {
            // Whole pairs; anything else goes to the cases below.
            while (IsJisPairByte(text[0]) && IsJisPairByte(text[1])) {
                if (!sink.PutPair(detail::JisPairToSjis(text[0], text[1]))) return -1;
                text += 2;
            }
        }
        const std::uint8_t b = *text;
        if (b == 0) break;
        if (b == JIS_ESC) {
            if (const std::int32_t length = ReadJisEscape(text, mode); length != 0) {
                text += length;
                continue;
            }
        } else if (b == JIS_SI && mode == JisMode::Katakana) {
            mode = JisMode::Roman;
            ++text;
            continue;
        } else if (b == JIS_SO && mode == JisMode::Roman) {
            mode = JisMode::Katakana;
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
        } else if (!IsJisPairByte(b) || mode == JisMode::Ascii || mode == JisMode::Roman) {
            fits = sink.PutByte(b);
        } else if (mode == JisMode::Katakana) {
            // JIS X 0201 katakana are 21-5F; 60-7E would become lead bytes.
            fits =
                b <= 0x5F ? sink.PutByte(b | 0x80) : sink.PutLost(SJIS_INVALID, LostKind::Broken);
        } else if (mode == JisMode::Kanji) {
            // A first byte without a second pair byte (LF, the terminator, ...):
            // one replacement, and the next byte is read on its own.
            fits = sink.PutLost(SJIS_INVALID, LostKind::Broken);
        } else {
            // JIS X 0212 has no Shift_JIS form: "?" for a pair, or for a first
            // byte without its second.
            if (IsJisPairByte(text[1])) length = 2;
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
    return detail::RunOnSink(out, capacity, lost, [&](auto sink) { return EncodeJis(sink, text); });
}

std::int32_t JisToSjisText(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity,
                           LostCount* lost) {
    return detail::RunOnSink(out, capacity, lost, [&](auto sink) { return DecodeJis(sink, text); });
}

}  // namespace ruv
