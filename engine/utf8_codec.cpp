// UTF-8 <-> UTF-16; the departures from RFC 3629 are tabulated in utf8_codec.h.
//
// Both text functions are written once as templates over "measure" and "write",
// so the measuring pass carries no capacity tests and the writing pass no null
// tests.  Each reads top to bottom: ASCII runs first (copied in one piece),
// then one sequence or unit at a time.  No byte after the terminator is ever
// read: a byte is looked at only after the one before it continued a sequence.
#include "engine/utf8_codec.h"

#include "engine/byte_sink.h"
#include "platform/utf16_units.h"
#include "platform/utf8_units.h"

namespace ruv {
namespace {

constexpr char16_t kReplacement = u'?';  // a malformed sequence, a lone surrogate
constexpr std::uint32_t kMalformed = 0xFFFFFFFF;

// The code point of the well-formed sequence at p (p[0] is no ASCII byte and
// not the terminator), or kMalformed; length receives the bytes taken.  A
// malformed sequence takes its lead and the bytes after it that could still
// have continued it (at least one byte, never the byte that broke it), so the
// next byte, a line end or the terminator, is read on its own.  The second
// byte's range excludes overlong forms (E0 80-9F, F0 80-8F), encoded surrogates
// (ED A0-BF) and code points above U+10FFFF (F4 90-BF); C0, C1 and F5-FF begin
// nothing.  No byte after a zero byte is read: zero is never a continuation.
inline std::uint32_t ReadSequence(const std::uint8_t* p, std::int32_t& length) {
    const std::uint8_t b0 = p[0];
    std::int32_t n;
    std::uint8_t low = 0x80, high = 0xBF;  // the second byte's range
    std::uint32_t cp;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        n = 2;
        cp = b0 & 0x1Fu;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        n = 3;
        cp = b0 & 0x0Fu;
        if (b0 == 0xE0) low = 0xA0;
        if (b0 == 0xED) high = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        n = 4;
        cp = b0 & 0x07u;
        if (b0 == 0xF0) low = 0x90;
        if (b0 == 0xF4) high = 0x8F;
    } else {
        length = 1;  // a stray continuation byte, or a lead of no valid sequence
        return kMalformed;
    }
    for (std::int32_t i = 1; i < n; ++i) {
        if (p[i] < low || p[i] > high) {
            length = i;
            return kMalformed;
        }
        cp = cp << 6 | (p[i] & 0x3Fu);
        low = 0x80;
        high = 0xBF;
    }
    length = n;
    return cp;
}

// Utf8ToWideText.  With kWrite the output holds capacity units; a unit is stored
// only while it leaves room for the terminator (count + 1 < capacity).
template <bool kWrite>
std::int32_t DecodeText(char16_t* out, const std::uint8_t* p, std::int32_t capacity,
                        LostCount& lost) {
    if (kWrite && capacity <= 0) return -1;
    const std::int32_t limit = capacity - 1;  // units that fit before the terminator
    std::int32_t count = 0;
    const std::uint8_t* const end = detail::TextEnd(p);
    while (p < end) {
        const std::uint8_t b0 = *p;
        if (b0 < 0x80) {  // a run of ASCII: as many units as fit are stored
            std::int32_t n = detail::AsciiRunLength(p, end);
            if constexpr (kWrite) {
                const bool fits = count + n <= limit;
                if (!fits) n = limit - count;
                detail::WidenBytes(out + count, p, n);
                if (!fits) return -1;
            }
            count += n;
            p += n;
            continue;
        }
        // The three-byte form of most CJK text, whose second byte needs no range
        // of its own (E0 and ED do); p[2] is read only after p[1] continued.
        if (b0 >= 0xE1 && b0 <= 0xEF && b0 != 0xED && (p[1] & 0xC0) == 0x80 &&
            (p[2] & 0xC0) == 0x80) {
            if constexpr (kWrite) {
                if (count >= limit) return -1;
                out[count] = static_cast<char16_t>((b0 & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 |
                                                   (p[2] & 0x3Fu));
            }
            ++count;
            p += 3;
            continue;
        }
        std::int32_t length = 1;
        const std::uint32_t cp = ReadSequence(p, length);
        if (cp >= 0x10000 && cp != kMalformed) {
            // The surrogate pair, both units against the capacity.
            if constexpr (kWrite) {
                if (count + 1 >= limit) return -1;
                out[count] = HighSurrogateOf(cp);
                out[count + 1] = LowSurrogateOf(cp);
            }
            count += 2;
            p += length;
            continue;
        }
        // The one place a replacement is written.
        char16_t unit = static_cast<char16_t>(cp);
        if (cp == kMalformed) {
            unit = kReplacement;
            ++lost.broken;
        }
        if constexpr (kWrite) {
            if (count >= limit) return -1;
            out[count] = unit;
        }
        ++count;
        p += length;
    }
    if constexpr (kWrite) out[count] = 0;
    return count;
}

// WideToUtf8Text.  With kWrite the output holds capacity bytes; a sequence is
// stored only while it leaves room for the terminator.
template <bool kWrite>
std::int32_t EncodeText(std::uint8_t* out, const char16_t* p, std::int32_t capacity,
                        LostCount& lost) {
    if (kWrite && capacity <= 0) return -1;
    const std::int32_t limit = capacity - 1;  // bytes that fit before the terminator
    std::int32_t total = 0;
    const char16_t* const end = detail::UnitTextEnd(p);
    while (p < end) {
        const char16_t u = *p;
        if (u < 0x80) {  // a run of ASCII: as many bytes as fit are stored
            const std::int32_t n = kWrite
                                       ? detail::NarrowAsciiRun(out + total, p, end, limit - total)
                                       : detail::AsciiUnitRunLength(p, end);
            total += n;
            p += n;
            if (kWrite && p < end && *p < 0x80) return -1;  // the run did not fit
            continue;
        }
        if (u < 0x800) {
            if constexpr (kWrite) {
                if (total + 2 > limit) return -1;
                PutUtf8(out + total, u, 2);
            }
            total += 2;
            ++p;
            continue;
        }
        // p[1] is at most the terminator, since u is not zero.
        if (IsHighSurrogate(u) && IsLowSurrogate(p[1])) {
            if constexpr (kWrite) {
                if (total + 4 > limit) return -1;
                PutUtf8(out + total, PairCodePoint(u, p[1]), 4);
            }
            total += 4;
            p += 2;
            continue;
        }
        if (IsSurrogate(u)) {  // a lone surrogate is no character: one "?"
            ++lost.broken;
            if constexpr (kWrite) {
                if (total + 1 > limit) return -1;
                out[total] = kReplacement;
            }
            ++total;
            ++p;
            continue;
        }
        if constexpr (kWrite) {  // three bytes
            if (total + 3 > limit) return -1;
            PutUtf8(out + total, u, 3);
        }
        total += 3;
        ++p;
    }
    if constexpr (kWrite) out[total] = 0;
    return total;
}

}  // namespace

std::int32_t WideToUtf8Text(std::uint8_t* out, const char16_t* text, std::int32_t capacity,
                            LostCount* lost) {
    return detail::Tallied(lost, [&](LostCount& tally) {
        return out != nullptr ? EncodeText<true>(out, text, capacity, tally)
                              : EncodeText<false>(nullptr, text, capacity, tally);
    });
}

std::int32_t Utf8ToWideText(char16_t* out, const std::uint8_t* text, std::int32_t capacity,
                            LostCount* lost) {
    return detail::Tallied(lost, [&](LostCount& tally) {
        return out != nullptr ? DecodeText<true>(out, text, capacity, tally)
                              : DecodeText<false>(nullptr, text, capacity, tally);
    });
}

}  // namespace ruv
