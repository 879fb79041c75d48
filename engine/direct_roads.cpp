// Single-pass roads between EUC-JP and ISO-2022-JP for clean pieces.
//
// Why the result equals the two-step road's: a JIS X 0208 pair with both bytes
// in 21-7E (A1-FE in EUC-JP) goes to Shift_JIS and back to the same row and
// cell (the row/cell arithmetic is exact on rows and cells 21-7E), and the
// bytes 01-7F pass both steps unchanged.  ESC, SO and SI are left out because
// they open or close shifts; anything else is left to the two-step road.
#include "engine/direct_roads.h"

#include <cstddef>
#include <cstring>

#include "engine/byte_sink.h"
#include "engine/jis_escapes.h"

namespace ruv {
namespace {

using detail::kHighBits;
using detail::kLowBits;
using detail::LoadWord;
using detail::TextEnd;
using detail::WordHasByte;


constexpr std::ptrdiff_t kWordBytes = 8;

// A byte of the ASCII part of a clean piece: 01-7F but ESC, SO and SI.
bool IsPlainByte(std::uint8_t b) {
    return b != 0 && b < 0x80 && b != JIS_ESC && b != JIS_SO && b != JIS_SI;
}

// For a word whose bytes are all below 0x80: some byte is below n (n <= 0x80),
// and some byte is 0x7F.  Both tests are exact about whether there is one.
bool HasByteBelow(std::uint64_t word, std::uint8_t n) {
    return ((word - kLowBits * n) & ~word & kHighBits) != 0;
}
bool HasByte7F(std::uint64_t word) { return (((word + kLowBits) | word) & kHighBits) != 0; }

// Eight plain bytes (controls below 0x10 are left to the byte-wise path).
bool IsPlainWord(std::uint64_t word) {
    return (word & kHighBits) == 0 && !HasByteBelow(word, 0x10) && !WordHasByte(word, JIS_ESC);
}
// Eight bytes 21-7E: four JIS pairs when the word starts on a pair.
bool IsJisPairWord(std::uint64_t word) {
    return (word & kHighBits) == 0 && !HasByteBelow(word, 0x21) && !HasByte7F(word);
}

// The end of the run of plain bytes at p (p <= end), eight at a time while it lasts.
const std::uint8_t* PlainRunEnd(const std::uint8_t* p, const std::uint8_t* end) {
    while (end - p >= kWordBytes && IsPlainWord(LoadWord(p))) p += kWordBytes;
    while (p < end && IsPlainByte(*p)) ++p;
    return p;
}

// The end of the run of whole pairs at p, of bytes 21-7E (flip 0) or A1-FE
// (flip 0x80).  p[1] is read only after p[0] is a pair byte, so never past the
// terminator; a pair cut by it ends the run before the pair.
const std::uint8_t* PairRunEnd(const std::uint8_t* p, const std::uint8_t* end, std::uint8_t flip) {
    while (end - p >= kWordBytes && IsJisPairWord(LoadWord(p) ^ (kLowBits * flip))) p += kWordBytes;
    while (IsJisPairByte(p[0] ^ flip) && IsJisPairByte(p[1] ^ flip)) p += 2;
    return p;
}

// The output of one road: q writes, limit is the terminator's last possible
// place, so a text that stays below it fits the capacity.  kanji is the JIS
// output's mode, which escapes switch as the JIS encoder switches them.
template <bool kToJis>
struct Output {
    Output(std::uint8_t* out, std::int32_t capacity) : start(out), q(out), limit(out + capacity - 1) {}

    // Writes ESC $ B (toKanji) or ESC ( B when the JIS output is in the other mode.
    void Switch(bool toKanji) {
        if (kanji == toKanji) return;
        const JisEscape& e = toKanji ? JIS_TO_KANJI : JIS_TO_ASCII;
        std::memcpy(q, e.bytes, e.length);
        q += e.length;
        kanji = toKanji;
    }

    // Writes the n bytes at p as they are (plain) or as pair bytes, each
    // b ^ flip; false, with nothing written, when they do not fit.
    bool PutRun(const std::uint8_t* p, std::ptrdiff_t n, bool pairs, std::uint8_t flip) {
        if (n == 0) return true;
        if (limit - q < n + (kToJis && kanji != pairs ? 3 : 0)) return false;
        if constexpr (kToJis) Switch(pairs);
        if (flip == 0) {
            std::memcpy(q, p, static_cast<std::size_t>(n));
            q += n;
            return true;
        }
        for (; n >= kWordBytes; n -= kWordBytes, p += kWordBytes, q += kWordBytes) {
            const std::uint64_t word = LoadWord(p) ^ (kLowBits * flip);
            std::memcpy(q, &word, sizeof word);
        }
        for (; n > 0; --n) *q++ = *p++ ^ flip;
        return true;
    }

    // Closes a JIS output left in kanji mode and terminates; the length, or
    // DIRECT_ROAD_DECLINED when the closing escape does not fit.
    std::int32_t Finish() {
        if (kanji) {
            if (limit - q < 3) return DIRECT_ROAD_DECLINED;
            Switch(false);
        }
        *q = 0;
        return static_cast<std::int32_t>(q - start);
    }

    std::uint8_t* const start;
    std::uint8_t* q;
    std::uint8_t* const limit;
    bool kanji = false;
};

// EUC-JP pairs keep their bytes to EUC-JP and lose the high bit to JIS.
template <bool kToJis>
std::int32_t FromEuc(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity) {
    if (capacity < 1) return DIRECT_ROAD_DECLINED;
    const std::uint8_t* p = text;
    const std::uint8_t* const end = TextEnd(text);
    Output<kToJis> o(out, capacity);
    while (p < end) {
        const std::uint8_t* const plainEnd = PlainRunEnd(p, end);
        if (!o.PutRun(p, plainEnd - p, false, 0)) return DIRECT_ROAD_DECLINED;
        const std::uint8_t* const pairEnd = PairRunEnd(plainEnd, end, 0x80);
        if (!o.PutRun(plainEnd, pairEnd - plainEnd, true, kToJis ? 0x80 : 0)) {
            return DIRECT_ROAD_DECLINED;
        }
        if (pairEnd == p) return DIRECT_ROAD_DECLINED;  // a byte of neither run
        p = pairEnd;
    }
    return o.Finish();
}

// JIS pairs gain the high bit to EUC-JP and keep their bytes to JIS.
template <bool kToJis>
std::int32_t FromJis(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity) {
    if (capacity < 1) return DIRECT_ROAD_DECLINED;
    const std::uint8_t* p = text;
    const std::uint8_t* const end = TextEnd(text);
    Output<kToJis> o(out, capacity);
    bool kanji = false;  // the source's mode
    for (;;) {
        const std::uint8_t* const runEnd = kanji ? PairRunEnd(p, end, 0) : PlainRunEnd(p, end);
        if (!o.PutRun(p, runEnd - p, kanji, kanji && !kToJis ? 0x80 : 0)) {
            return DIRECT_ROAD_DECLINED;
        }
        p = runEnd;
        if (p == end) break;
        // The run ended at an escape, or at a byte that makes the piece unclean.
        // Each byte is read only after the one before matched a nonzero byte.
        if (const JisEscape* e = MatchJisEscape(p); e == &JIS_TO_KANJI || e == &JIS_TO_ASCII) {
            kanji = e == &JIS_TO_KANJI;
        } else {
            return DIRECT_ROAD_DECLINED;
        }
        p += 3;
    }
    return o.Finish();
}

}  // namespace

std::int32_t EucToEucDirect(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity) {
    return FromEuc<false>(out, text, capacity);
}

std::int32_t EucToJisDirect(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity) {
    return FromEuc<true>(out, text, capacity);
}

std::int32_t JisToEucDirect(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity) {
    return FromJis<false>(out, text, capacity);
}

std::int32_t JisToJisDirect(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity) {
    return FromJis<true>(out, text, capacity);
}

}  // namespace ruv
