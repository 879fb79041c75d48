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

namespace ruv {
namespace {

using detail::kHighBits;
using detail::kLowBits;
using detail::LoadWord;
using detail::TextEnd;
using detail::WordHasByte;

constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kShiftOut = 0x0E;
constexpr std::uint8_t kShiftIn = 0x0F;
constexpr std::uint8_t kEscKanji[3] = {kEsc, 0x24, 0x42};  // ESC $ B
constexpr std::uint8_t kEscAscii[3] = {kEsc, 0x28, 0x42};  // ESC ( B

constexpr std::ptrdiff_t kWordBytes = 8;
constexpr std::ptrdiff_t kWordRoom = kWordBytes + 3;  // a word with an escape before it

// A byte of the ASCII part of a clean piece: 01-7F but ESC, SO and SI.
bool IsPlainByte(std::uint8_t b) {
    return b != 0 && b < 0x80 && b != kEsc && b != kShiftOut && b != kShiftIn;
}
bool IsJisPairByte(std::uint8_t b) { return static_cast<std::uint8_t>(b - 0x21) < 0x5E; }
bool IsEucPairByte(std::uint8_t b) { return static_cast<std::uint8_t>(b - 0xA1) < 0x5E; }

// For a word whose bytes are all below 0x80: some byte is below n (n <= 0x80),
// and some byte is 0x7F.  Both tests are exact about whether there is one.
bool HasByteBelow(std::uint64_t word, std::uint8_t n) {
    return ((word - kLowBits * n) & ~word & kHighBits) != 0;
}
bool HasByte7F(std::uint64_t word) { return (((word + kLowBits) | word) & kHighBits) != 0; }

// Eight plain bytes (controls below 0x10 are left to the byte-wise path).
bool IsPlainWord(std::uint64_t word) {
    return (word & kHighBits) == 0 && !HasByteBelow(word, 0x10) && !WordHasByte(word, kEsc);
}
// Eight bytes 21-7E: four JIS pairs when the word starts on a pair.
bool IsJisPairWord(std::uint64_t word) {
    return (word & kHighBits) == 0 && !HasByteBelow(word, 0x21) && !HasByte7F(word);
}

std::uint8_t* PutWord(std::uint8_t* q, std::uint64_t word) {
    std::memcpy(q, &word, sizeof word);
    return q + kWordBytes;
}
std::uint8_t* PutEscape(std::uint8_t* q, const std::uint8_t (&escape)[3]) {
    std::memcpy(q, escape, 3);
    return q + 3;
}

// The output of one road: q writes, limit is the terminator's last possible
// place, so a text that stays below it fits the capacity.  kanji is the JIS
// output's mode, which escapes switch as the JIS encoder switches them.
struct Output {
    Output(std::uint8_t* out, std::int32_t capacity) : start(out), q(out), limit(out + capacity - 1) {}

    bool Room(std::ptrdiff_t n) const { return limit - q >= n; }

    // Switches the JIS output's mode before a pair (toKanji) or a plain byte.
    void Switch(bool toKanji) {
        if (kanji == toKanji) return;
        q = PutEscape(q, toKanji ? kEscKanji : kEscAscii);
        kanji = toKanji;
    }

    // Closes a JIS output left in kanji mode and terminates; the length, or
    // DIRECT_ROAD_DECLINED when the closing escape does not fit.
    std::int32_t Finish() {
        if (kanji) {
            if (!Room(3)) return DIRECT_ROAD_DECLINED;
            q = PutEscape(q, kEscAscii);
        }
        *q = 0;
        return static_cast<std::int32_t>(q - start);
    }

    std::uint8_t* const start;
    std::uint8_t* q;
    std::uint8_t* const limit;
    bool kanji = false;
};

template <bool kToJis>
std::int32_t FromEuc(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity) {
    if (capacity < 1) return DIRECT_ROAD_DECLINED;
    const std::uint8_t* p = text;
    const std::uint8_t* const end = TextEnd(text);
    Output o(out, capacity);
    while (p < end) {
        if (end - p >= kWordBytes && o.Room(kWordRoom)) {
            const std::uint64_t word = LoadWord(p);
            if (IsPlainWord(word)) {
                if constexpr (kToJis) o.Switch(false);
                o.q = PutWord(o.q, word);
                p += kWordBytes;
                continue;
            }
            if (IsJisPairWord(word ^ kHighBits)) {  // four pairs of bytes A1-FE
                if constexpr (kToJis) o.Switch(true);
                o.q = PutWord(o.q, kToJis ? word ^ kHighBits : word);
                p += kWordBytes;
                continue;
            }
        }
        const std::uint8_t b = p[0];
        if (b < 0x80) {
            if (!IsPlainByte(b)) return DIRECT_ROAD_DECLINED;
            if (!o.Room(kToJis && o.kanji ? 4 : 1)) return DIRECT_ROAD_DECLINED;
            if constexpr (kToJis) o.Switch(false);
            *o.q++ = b;
            ++p;
            continue;
        }
        // p[1] is at worst the terminator, which is no pair byte.
        if (!IsEucPairByte(b) || !IsEucPairByte(p[1])) return DIRECT_ROAD_DECLINED;
        if (!o.Room(kToJis && !o.kanji ? 5 : 2)) return DIRECT_ROAD_DECLINED;
        const std::uint8_t mask = kToJis ? 0x7F : 0xFF;
        if constexpr (kToJis) o.Switch(true);
        o.q[0] = b & mask;
        o.q[1] = p[1] & mask;
        o.q += 2;
        p += 2;
    }
    return o.Finish();
}

template <bool kToJis>
std::int32_t FromJis(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity) {
    if (capacity < 1) return DIRECT_ROAD_DECLINED;
    const std::uint8_t* p = text;
    const std::uint8_t* const end = TextEnd(text);
    Output o(out, capacity);
    bool kanji = false;  // the source's mode
    while (p < end) {
        if (p[0] == kEsc) {
            // Each byte is read only after the one before matched a nonzero byte.
            if (p[1] == 0x24 && p[2] == 0x42) {
                kanji = true;  // ESC $ B
            } else if (p[1] == 0x28 && p[2] == 0x42) {
                kanji = false;  // ESC ( B
            } else {
                return DIRECT_ROAD_DECLINED;
            }
            p += 3;
            continue;
        }
        if (end - p >= kWordBytes && o.Room(kWordRoom)) {
            const std::uint64_t word = LoadWord(p);
            if (kanji ? IsJisPairWord(word) : IsPlainWord(word)) {
                if constexpr (kToJis) o.Switch(kanji);
                o.q = PutWord(o.q, kToJis || !kanji ? word : word | kHighBits);
                p += kWordBytes;
                continue;
            }
        }
        const std::uint8_t b = p[0];
        if (!kanji) {
            if (!IsPlainByte(b)) return DIRECT_ROAD_DECLINED;
            if (!o.Room(kToJis && o.kanji ? 4 : 1)) return DIRECT_ROAD_DECLINED;
            if constexpr (kToJis) o.Switch(false);
            *o.q++ = b;
            ++p;
            continue;
        }
        // A pair cut by the terminator or by any byte outside 21-7E is declined.
        if (!IsJisPairByte(b) || !IsJisPairByte(p[1])) return DIRECT_ROAD_DECLINED;
        if (!o.Room(kToJis && !o.kanji ? 5 : 2)) return DIRECT_ROAD_DECLINED;
        const std::uint8_t high = kToJis ? 0x00 : 0x80;
        if constexpr (kToJis) o.Switch(true);
        o.q[0] = b | high;
        o.q[1] = p[1] | high;
        o.q += 2;
        p += 2;
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
