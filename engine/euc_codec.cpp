// EUC-JP <-> Shift_JIS and the folding Shift_JIS copy, one line at a time.
#include "engine/euc_codec.h"

#include "engine/byte_sink.h"
#include "engine/jis_to_sjis_table.h"
#include "engine/sjis_primitives.h"
#include "engine/sjis_to_jis_table.h"

namespace ruv {
namespace {

using detail::ByteSink;
using detail::LostKind;
using detail::LostKindOf;

constexpr std::uint8_t kSingleShift2 = 0x8E;  // SS2: a half-width katakana byte follows
constexpr std::uint8_t kSingleShift3 = 0x8F;  // SS3: a JIS X 0212 pair follows
constexpr std::uint16_t kEucHighBits = 0x8080;

// Copies the run of ASCII bytes at text (up to end, the terminator); returns
// false when the output is full.  On return text points at the first byte that
// is not ASCII, or at end.
template <bool kWrite>
bool CopyAscii(ByteSink<kWrite>& sink, const std::uint8_t*& text, const std::uint8_t* end) {
    const std::int32_t n = detail::AsciiRunLength(text, end);
    text += n;
    return sink.PutRun(text - n, n);
}

template <bool kWrite>
std::int32_t EncodeEuc(ByteSink<kWrite> sink, const std::uint8_t* text) {
    const std::uint8_t* const end = detail::TextEnd(text);
    while (text < end) {
        if (*text < 0x80) {
            if (!CopyAscii(sink, text, end)) return -1;
            continue;
        }
        // Half-width katakana arrive folded, so no SS2 is ever written.  A single
        // byte from 0x80 up (0x80, 0xA0, 0xFD-0xFF, a lead byte without its trail
        // byte) is no character: like a pair without a JIS row and cell, it
        // becomes the "no counterpart" pair FE FE.  A source FE FE (Shift_JIS
        // EF FC) is that pair already, which it keeps: nothing is replaced.
        std::int32_t length = 0;
        const std::uint16_t value = detail::ReadSjisChar(text, length);
        text += length;
        const std::uint16_t jis =
            value < 0x100 ? JIS_INVALID : detail::SjisPairToJis(value >> 8, value & 0xFF);
        const bool fits = jis == JIS_INVALID && value != SJIS_INVALID
                              ? sink.PutLost(JIS_INVALID | kEucHighBits, LostKindOf(value))
                              : sink.PutPair(jis | kEucHighBits);
        if (!fits) return -1;
    }
    return sink.Finish();
}

constexpr bool IsPairByte(std::uint8_t b) { return b >= 0xA1 && b <= 0xFE; }

// A broken character (a first byte without its second byte, SS2 without a
// katakana byte, SS3 without two pair bytes, a byte that begins nothing)
// becomes one replacement and the next byte is read on its own, so a line end
// after it stays and the following characters are read as they stand.
template <bool kWrite>
std::int32_t DecodeEuc(ByteSink<kWrite> sink, const std::uint8_t* text) {
    const std::uint8_t* const end = detail::TextEnd(text);
    while (text < end) {
        const std::uint8_t b = *text;
        if (b < 0x80) {
            if (!CopyAscii(sink, text, end)) return -1;
            continue;
        }
        bool fits;
        std::int32_t length = 1;
        if (IsPairByte(b) && IsPairByte(text[1])) {
            fits = sink.PutPair(detail::JisPairToSjis(b & 0x7F, text[1] & 0x7F));
            length = 2;
        } else if (b == kSingleShift2 && text[1] >= 0xA1 && text[1] <= 0xDF) {
            fits = sink.PutByte(text[1]);
            length = 2;
        } else if (b == kSingleShift3) {
            // JIS X 0212 has no Shift_JIS form: "?" for the three bytes, or for
            // SS3 alone when they are no pair.
            if (IsPairByte(text[1]) && IsPairByte(text[2])) length = 3;
            fits = sink.PutLost('?', LostKind::NoCode);
        } else {
            fits = sink.PutLost(SJIS_INVALID, LostKind::Broken);
        }
        if (!fits) return -1;
        text += length;
    }
    return sink.Finish();
}

template <bool kWrite>
std::int32_t FoldSjis(ByteSink<kWrite> sink, const std::uint8_t* text) {
    const std::uint8_t* const end = detail::TextEnd(text);
    while (text < end) {
        if (*text < 0x80) {
            if (!CopyAscii(sink, text, end)) return -1;
            continue;
        }
        std::int32_t length = 0;
        const std::uint16_t value = detail::ReadSjisChar(text, length);
        text += length;
        if (!sink.PutValue(value)) return -1;
    }
    return sink.Finish();
}

}  // namespace

std::int32_t SjisToEucText(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity,
                           LostCount* lost) {
    return detail::RunOnSink(out, capacity, lost, [&](auto sink) { return EncodeEuc(sink, text); });
}

std::int32_t EucToSjisText(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity,
                           LostCount* lost) {
    return detail::RunOnSink(out, capacity, lost, [&](auto sink) { return DecodeEuc(sink, text); });
}

std::int32_t SjisToSjisText(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity,
                            LostCount* /*lost*/) {
    // Folding replaces nothing, so there is nothing to count.
    return detail::RunOnSink(out, capacity, nullptr,
                             [&](auto sink) { return FoldSjis(sink, text); });
}

}  // namespace ruv
