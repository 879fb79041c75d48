// Single-pass roads for clean pieces.
//
// Why the result equals the road through Shift_JIS: a JIS X 0208 pair with both
// bytes in 21-7E (A1-FE in EUC-JP) goes to Shift_JIS and back to the same row
// and cell (the row/cell arithmetic is exact on rows and cells 21-7E), and the
// bytes 01-7F pass every step unchanged.  To a Unicode form a pair becomes the
// character code page 932 gives its Shift_JIS pair, which is what its decoder
// writes; from UTF-8 a character becomes the code page 932 code its encoder
// writes, and to EUC-JP or JIS that code's row and cell as the encoders compute
// them.  ESC, SO and SI are left out because they open or close shifts; every
// character the steps would replace (unassigned, no code, half-width katakana,
// which the EUC-JP and JIS encoders fold) and anything else is left to them.
#include "engine/direct_roads.h"

#include <cstddef>
#include <cstring>

#include "engine/byte_sink.h"
#include "engine/jis_escapes.h"
#include "engine/jis_to_sjis_table.h"
#include "engine/sjis_to_jis_table.h"
#include "platform/cp932_tables.h"
#include "platform/utf8_units.h"

namespace ruv {
namespace {

using detail::kHighBits;
using detail::kLowBits;
using detail::LoadWord;
using detail::TextEnd;
using detail::WordHasByte;

constexpr std::ptrdiff_t kWordBytes = 8;

// For a word whose bytes are all below 0x80: some byte is below n (n <= 0x80),
// and some byte is 0x7F.  Both tests are exact about whether there is one.
bool HasByteBelow(std::uint64_t word, std::uint8_t n) {
    return ((word - kLowBits * n) & ~word & kHighBits) != 0;
}
bool HasByte7F(std::uint64_t word) { return (((word + kLowBits) | word) & kHighBits) != 0; }

// Eight bytes 21-7E: four JIS pairs when the word starts on a pair.
bool IsJisPairWord(std::uint64_t word) {
    return (word & kHighBits) == 0 && !HasByteBelow(word, 0x21) && !HasByte7F(word);
}

// Copies the run of clean bytes at p (the ASCII part of a clean piece), found
// sixteen bytes at a time, to q, which has room up to limit, and moves q past
// it; the run's end, or null when it does not fit.
const std::uint8_t* CopyPlainRun(std::uint8_t*& q, const std::uint8_t* limit, const std::uint8_t* p,
                                 const std::uint8_t* end) {
    const std::int32_t n = detail::CleanRunLength(p, end);
    if (limit - q < n) return nullptr;
    std::memcpy(q, p, static_cast<std::size_t>(n));
    q += n;
    return p + n;
}

// True when one of the n bytes at p is ESC, SO or SI, which a clean piece does
// not hold; eight at a time (SO and SI differ in their lowest bit only).
bool HasShiftByte(const std::uint8_t* p, std::ptrdiff_t n) {
    constexpr std::uint64_t kAllButLowest = 0xFEFEFEFEFEFEFEFEu;
    for (; n >= kWordBytes; n -= kWordBytes, p += kWordBytes) {
        const std::uint64_t word = LoadWord(p);
        if (WordHasByte(word, JIS_ESC) || WordHasByte(word & kAllButLowest, JIS_SO)) return true;
    }
    for (; n > 0; --n, ++p) {
        if (*p == JIS_ESC || *p == JIS_SO || *p == JIS_SI) return true;
    }
    return false;
}

// The end of the run of whole pairs at p, of bytes 21-7E (flip 0) or A1-FE
// (flip 0x80).  p[1] is read only after p[0] is a pair byte, so never past the
// terminator; a pair cut by it ends the run before the pair.
const std::uint8_t* PairRunEnd(const std::uint8_t* p, const std::uint8_t* end, std::uint8_t flip) {
    while (end - p >= kWordBytes && IsJisPairWord(LoadWord(p) ^ (kLowBits * flip))) p += kWordBytes;
    while (IsJisPairByte(p[0] ^ flip) && IsJisPairByte(p[1] ^ flip)) p += 2;
    return p;
}

// The byte output of a road to EUC-JP or JIS: q writes, limit is the
// terminator's last possible place, so a text that stays below it fits the
// capacity.  kanji is the JIS output's mode, which escapes switch as the JIS
// encoder switches them.
template <bool kToJis>
struct JisEucOutput {
    JisEucOutput(std::uint8_t* out, std::int32_t capacity)
        : start(out), q(out), limit(out + capacity - 1) {}

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

    // n plain bytes; n bytes of whole pairs whose bytes carry the high bits high.
    bool Plain(const std::uint8_t* p, std::ptrdiff_t n) { return PutRun(p, n, false, 0); }

    // The run of plain bytes at p, up to end: its end, or null when it does not fit.
    const std::uint8_t* PlainRun(const std::uint8_t* p, const std::uint8_t* end) {
        if (p == end || !detail::IsCleanByte(*p)) return p;
        if constexpr (kToJis) {
            if (kanji && limit - q < 3) return nullptr;
            Switch(false);
        }
        return CopyPlainRun(q, limit, p, end);
    }

    // n units 0001-007F, written as bytes; false when they do not fit, or when
    // one is ESC, SO or SI (which the road declines, whatever it wrote).
    bool PlainUnits(const char16_t* p, std::ptrdiff_t n) {
        if (n == 0) return true;
        const std::ptrdiff_t escape = kToJis && kanji ? 3 : 0;
        if (limit - q < n + escape) return false;
        detail::NarrowUnits(q + escape, p, static_cast<std::int32_t>(n));
        if (HasShiftByte(q + escape, n)) return false;
        if constexpr (kToJis) Switch(false);
        q += n;
        return true;
    }
    bool Pairs(const std::uint8_t* p, std::ptrdiff_t n, std::uint8_t high) {
        return PutRun(p, n, true, kToJis ? high : high ^ 0x80);
    }

    // One character by its code page 932 code: a 7-bit byte, or a pair with a
    // row and cell.  False for every other code (0: none), which the encoders
    // would replace or fold.
    bool Code(std::uint16_t code) {
        if (code == 0 || (code >= 0x80 && code < 0x100)) return false;
        if (code < 0x80) {
            const auto b = static_cast<std::uint8_t>(code);
            return detail::IsCleanByte(b) && Plain(&b, 1);
        }
        const std::uint16_t jis = detail::SjisPairToJis(code >> 8, code & 0xFF);
        if (jis == JIS_INVALID) return false;
        const std::uint8_t pair[2] = {static_cast<std::uint8_t>(jis >> 8),
                                      static_cast<std::uint8_t>(jis)};
        return Pairs(pair, 2, 0);
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

// The code page 932 character of a JIS X 0208 row and cell (bytes 21-7E), or 0
// when code page 932 leaves its Shift_JIS pair unassigned.
char16_t JisPairToUnit(std::uint8_t row, std::uint8_t cell) {
    const std::uint16_t sjis = detail::JisPairToSjis(row, cell);
    return Cp932DoubleByteTable[Cp932LeadRow(static_cast<std::uint8_t>(sjis >> 8))]
                               [(sjis & 0xFF) - kCp932TrailFirst];
}

// The output of a road to UTF-8 (Unit std::uint8_t) or UTF-16 (char16_t), as
// JisEucOutput; every character of code page 932 lies in the Basic Multilingual
// Plane, so a pair gives at most three bytes or one unit.
template <typename Unit>
struct UnicodeOutput {
    static constexpr bool kUtf8 = sizeof(Unit) == 1;
    static constexpr std::ptrdiff_t kPairMost = kUtf8 ? 3 : 1;

    UnicodeOutput(Unit* out, std::int32_t capacity)
        : start(out), q(out), limit(out + capacity - 1) {}

    const std::uint8_t* PlainRun(const std::uint8_t* p, const std::uint8_t* end) {
        if constexpr (kUtf8) {
            return CopyPlainRun(q, limit, p, end);
        } else {
            const std::int32_t n = detail::CleanRunLength(p, end);
            if (limit - q < n) return nullptr;
            detail::WidenBytes(q, p, n);
            q += n;
            return p + n;
        }
    }

    // False, perhaps with part written, at a pair code page 932 leaves unassigned.
    bool Pairs(const std::uint8_t* p, std::ptrdiff_t n, std::uint8_t high) {
        if (limit - q < n / 2 * kPairMost) return false;
        for (; n > 0; n -= 2, p += 2) {
            const char16_t u = JisPairToUnit(p[0] ^ high, p[1] ^ high);
            if (u == 0) return false;
            if constexpr (kUtf8) {
                const std::int32_t length = Utf8Length(u);
                PutUtf8(q, u, length);
                q += length;
            } else {
                *q++ = u;
            }
        }
        return true;
    }

    std::int32_t Finish() {
        *q = 0;
        return static_cast<std::int32_t>(q - start);
    }

    Unit* const start;
    Unit* q;
    Unit* const limit;
};

// The output of the road from UTF-8 to Shift_JIS: code page 932's codes as
// they are, one byte or two.
struct SjisOutput {
    SjisOutput(std::uint8_t* out, std::int32_t capacity)
        : start(out), q(out), limit(out + capacity - 1) {}

    const std::uint8_t* PlainRun(const std::uint8_t* p, const std::uint8_t* end) {
        return CopyPlainRun(q, limit, p, end);
    }

    bool PlainUnits(const char16_t* p, std::ptrdiff_t n) {
        if (limit - q < n) return false;
        detail::NarrowUnits(q, p, static_cast<std::int32_t>(n));
        if (HasShiftByte(q, n)) return false;
        q += n;
        return true;
    }

    bool Code(std::uint16_t code) {
        if (code == 0 || limit - q < 2) return false;
        if (code >= 0x100) *q++ = static_cast<std::uint8_t>(code >> 8);
        *q++ = static_cast<std::uint8_t>(code);
        return true;
    }

    std::int32_t Finish() {
        *q = 0;
        return static_cast<std::int32_t>(q - start);
    }

    std::uint8_t* const start;
    std::uint8_t* q;
    std::uint8_t* const limit;
};

// EUC-JP: plain runs and runs of pairs with the high bits set.
template <typename Out>
std::int32_t FromEuc(Out o, const std::uint8_t* text) {
    const std::uint8_t* p = text;
    const std::uint8_t* const end = TextEnd(text);
    while (p < end) {
        const std::uint8_t* const plainEnd = o.PlainRun(p, end);
        if (plainEnd == nullptr) return DIRECT_ROAD_DECLINED;
        const std::uint8_t* const pairEnd = PairRunEnd(plainEnd, end, 0x80);
        if (!o.Pairs(plainEnd, pairEnd - plainEnd, 0x80)) return DIRECT_ROAD_DECLINED;
        if (pairEnd == p) return DIRECT_ROAD_DECLINED;  // a byte of neither run
        p = pairEnd;
    }
    return o.Finish();
}

// JIS: plain runs in ASCII mode and runs of 7-bit pairs in kanji mode.
template <typename Out>
std::int32_t FromJis(Out o, const std::uint8_t* text) {
    const std::uint8_t* p = text;
    const std::uint8_t* const end = TextEnd(text);
    bool kanji = false;  // the source's mode
    for (;;) {
        const std::uint8_t* const runEnd = kanji ? PairRunEnd(p, end, 0) : o.PlainRun(p, end);
        if (runEnd == nullptr || (kanji && !o.Pairs(p, runEnd - p, 0))) return DIRECT_ROAD_DECLINED;
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

// The code page 932 code of a character: a byte, a lead byte * 256 + a trail
// byte, or 0 for none (a surrogate included).
std::uint16_t Cp932CodeOf(char16_t u) {
    return Cp932EncodePages[Cp932EncodePageIndex[u >> 8]][u & 0xFF];
}

// The character of the well-formed two- or three-byte UTF-8 sequence at p
// (p[0] >= 0x80), with its length; 0 for anything else (a malformed sequence,
// a surrogate, a four-byte one), which the road through UTF-16 replaces or
// turns into a pair that code page 932 has no code for.  A byte is read only
// after the one before continued the sequence, so never past the terminator.
char16_t ReadBmpSequence(const std::uint8_t* p, std::int32_t& length) {
    const std::uint8_t b0 = p[0];
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        if ((p[1] & 0xC0) != 0x80) return 0;
        length = 2;
        return static_cast<char16_t>((b0 & 0x1Fu) << 6 | (p[1] & 0x3Fu));
    }
    if (b0 < 0xE0 || b0 > 0xEF) return 0;
    const std::uint8_t low = b0 == 0xE0 ? 0xA0 : 0x80;   // no overlong form
    const std::uint8_t high = b0 == 0xED ? 0x9F : 0xBF;  // no surrogate
    if (p[1] < low || p[1] > high || (p[2] & 0xC0) != 0x80) return 0;
    length = 3;
    return static_cast<char16_t>((b0 & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu));
}

// UTF-8: plain runs, and each other character by its code page 932 code.
template <typename Out>
std::int32_t FromUtf8(Out o, const std::uint8_t* text) {
    const std::uint8_t* p = text;
    const std::uint8_t* const end = TextEnd(text);
    while (p < end) {
        const std::uint8_t* const plainEnd = o.PlainRun(p, end);
        if (plainEnd == nullptr) return DIRECT_ROAD_DECLINED;
        const std::uint8_t* q = plainEnd;
        for (std::int32_t length = 0; *q >= 0x80; q += length) {
            const char16_t u = ReadBmpSequence(q, length);
            if (u == 0) return DIRECT_ROAD_DECLINED;
            if (!o.Code(Cp932CodeOf(u))) return DIRECT_ROAD_DECLINED;
        }
        if (q == p) return DIRECT_ROAD_DECLINED;  // a byte of neither run
        p = q;
    }
    return o.Finish();
}

// UTF-16: runs of units 0001-007F, and each other unit by its code page 932
// code; a surrogate has none, so the road through Shift_JIS decides it.
template <typename Out>
std::int32_t FromUtf16(Out o, const char16_t* text) {
    const char16_t* p = text;
    const char16_t* const end = detail::UnitTextEnd(text);
    while (p < end) {
        const std::int32_t n = detail::AsciiUnitRunLength(p, end);
        if (!o.PlainUnits(p, n)) return DIRECT_ROAD_DECLINED;
        for (p += n; p < end && *p >= 0x80; ++p) {
            const char16_t u = *p;
            if (!o.Code(Cp932CodeOf(u))) return DIRECT_ROAD_DECLINED;
        }
    }
    return o.Finish();
}

// Runs a road into out when the capacity holds at least the terminator.
template <typename Out, typename Unit, typename Road>
std::int32_t Run(Unit* out, std::int32_t capacity, Road road) {
    if (capacity < 1) return DIRECT_ROAD_DECLINED;
    return road(Out(out, capacity));
}

}  // namespace

std::int32_t EucToEucDirect(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity) {
    return Run<JisEucOutput<false>>(out, capacity, [&](auto o) { return FromEuc(o, text); });
}

std::int32_t EucToJisDirect(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity) {
    return Run<JisEucOutput<true>>(out, capacity, [&](auto o) { return FromEuc(o, text); });
}

std::int32_t JisToEucDirect(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity) {
    return Run<JisEucOutput<false>>(out, capacity, [&](auto o) { return FromJis(o, text); });
}

std::int32_t JisToJisDirect(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity) {
    return Run<JisEucOutput<true>>(out, capacity, [&](auto o) { return FromJis(o, text); });
}

std::int32_t EucToUtf8Direct(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity) {
    return Run<UnicodeOutput<std::uint8_t>>(out, capacity,
                                            [&](auto o) { return FromEuc(o, text); });
}

std::int32_t JisToUtf8Direct(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity) {
    return Run<UnicodeOutput<std::uint8_t>>(out, capacity,
                                            [&](auto o) { return FromJis(o, text); });
}

std::int32_t EucToUtf16Direct(char16_t* out, const std::uint8_t* text, std::int32_t capacity) {
    return Run<UnicodeOutput<char16_t>>(out, capacity, [&](auto o) { return FromEuc(o, text); });
}

std::int32_t JisToUtf16Direct(char16_t* out, const std::uint8_t* text, std::int32_t capacity) {
    return Run<UnicodeOutput<char16_t>>(out, capacity, [&](auto o) { return FromJis(o, text); });
}

std::int32_t Utf8ToSjisDirect(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity) {
    return Run<SjisOutput>(out, capacity, [&](auto o) { return FromUtf8(o, text); });
}

std::int32_t Utf8ToEucDirect(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity) {
    return Run<JisEucOutput<false>>(out, capacity, [&](auto o) { return FromUtf8(o, text); });
}

std::int32_t Utf8ToJisDirect(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity) {
    return Run<JisEucOutput<true>>(out, capacity, [&](auto o) { return FromUtf8(o, text); });
}

std::int32_t Utf16ToEucDirect(std::uint8_t* out, const char16_t* text, std::int32_t capacity) {
    return Run<JisEucOutput<false>>(out, capacity, [&](auto o) { return FromUtf16(o, text); });
}

std::int32_t Utf16ToJisDirect(std::uint8_t* out, const char16_t* text, std::int32_t capacity) {
    return Run<JisEucOutput<true>>(out, capacity, [&](auto o) { return FromUtf16(o, text); });
}

}  // namespace ruv
