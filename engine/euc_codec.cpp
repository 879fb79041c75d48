// EUC-JP <-> Shift_JIS and the folding Shift_JIS copy, one line at a time.
#include "engine/euc_codec.h"

#include "engine/byte_sink.h"
#include "engine/jis_to_sjis_table.h"
#include "engine/sjis_primitives.h"
#include "engine/sjis_to_jis_table.h"

namespace ruv {
namespace {

using detail::ByteSink;

constexpr std::uint8_t kSingleShift2 = 0x8E;  // SS2: a half-width katakana byte follows
constexpr std::uint8_t kSingleShift3 = 0x8F;  // SS3: a JIS X 0212 pair follows
constexpr std::uint8_t kFirstPairByte = 0xA1;
constexpr std::uint16_t kFirstSjisDoubleByte = 0x8140;
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
        // Half-width katakana arrive folded, so no SS2 is ever written.  Values
        // below 0x8140 (0x80, 0xA0, 0xFD-0xFF, a lone lead byte, 0x81 with a
        // second byte below 0x40) are written as they are.
        std::int32_t length = 0;
        const std::uint16_t value = detail::ReadSjisChar(text, length);
        text += length;
        const bool fits =
            value < kFirstSjisDoubleByte
                ? sink.PutValue(value)
                : sink.PutPair(detail::SjisPairToJis(value >> 8, value & 0xFF) | kEucHighBits);
        if (!fits) return -1;
    }
    return sink.Finish();
}

template <bool kWrite>
std::int32_t DecodeEuc(ByteSink<kWrite> sink, const std::uint8_t* text) {
    const std::uint8_t* const end = detail::TextEnd(text);
    while (text < end) {
        const std::uint8_t b = *text;
        if (b < 0x80) {
            if (!CopyAscii(sink, text, end)) return -1;
        } else if (b >= kFirstPairByte) {
            // The second byte is masked, not checked: B0 21 reads like B0 A1.
            const std::uint8_t second = text[1];
            if (second == 0) {
                if (!sink.PutValue(SJIS_INVALID)) return -1;
                break;
            }
            text += 2;
            if (!sink.PutPair(detail::JisPairToSjis(b & 0x7F, second & 0x7F))) return -1;
        } else if (b == kSingleShift2) {
            const std::uint8_t kana = text[1];
            if (kana == 0) {
                if (!sink.PutValue(SJIS_INVALID)) return -1;
                break;
            }
            text += 2;
            if (!sink.PutByte(kana | 0x80)) return -1;
        } else if (b == kSingleShift3) {
            // JIS X 0212 has no Shift_JIS form: "?" for the three bytes, or for
            // whatever of them comes before the terminator.
            if (!sink.PutByte('?')) return -1;
            if (text[1] == 0 || text[2] == 0) break;
            text += 3;
        } else {  // 0x80-0x8D, 0x90-0xA0
            if (!sink.PutByte(b)) return -1;
            ++text;
        }
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

std::int32_t SjisToEucText(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity) {
    if (out == nullptr) return EncodeEuc(ByteSink<false>(out, capacity), text);
    return EncodeEuc(ByteSink<true>(out, capacity), text);
}

std::int32_t EucToSjisText(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity) {
    if (out == nullptr) return DecodeEuc(ByteSink<false>(out, capacity), text);
    return DecodeEuc(ByteSink<true>(out, capacity), text);
}

std::int32_t SjisToSjisText(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity) {
    if (out == nullptr) return FoldSjis(ByteSink<false>(out, capacity), text);
    return FoldSjis(ByteSink<true>(out, capacity), text);
}

}  // namespace ruv
