// UTF-8 <-> UTF-16; the departures from RFC 3629 are tabulated in utf8_codec.h.
//
// Both text functions are written once as templates over "measure" and "write",
// so the measuring pass carries no capacity tests and the writing pass no null
// tests.  Each reads top to bottom: ASCII runs first (copied in one piece),
// then one branch per lead-byte class.  No byte after the terminator is ever read: a multi-byte sequence is
// taken only after each of its following bytes has been seen to be non-zero.
#include "engine/utf8_codec.h"

#include "engine/byte_sink.h"

namespace ruv {
namespace {

constexpr char16_t kReplacement = u'?';  // a sequence of four to six bytes that is not a pair

constexpr std::uint16_t TwoByteValue(std::uint8_t b0, std::uint8_t b1) {
    return static_cast<std::uint16_t>(((b0 & 0x1F) << 6) | (b1 & 0x3F));
}

constexpr std::uint16_t ThreeByteValue(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) {
    return static_cast<std::uint16_t>(((b0 & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (b2 & 0x3F));
}

static_assert(TwoByteValue(0xC3, 0xA9) == 0x00E9);
static_assert(TwoByteValue(0xC0, 0x80) == 0x0000);  // an overlong zero, read as "?"
static_assert(ThreeByteValue(0xE3, 0x81, 0x82) == 0x3042);
static_assert(ThreeByteValue(0xED, 0xA0, 0xBD) == 0xD83D);  // encoded surrogates pass

// True when the terminator lies among the length - 1 bytes after the lead.
// Stops at the first zero byte, so it never looks past the end of the text.
inline bool CutShort(const std::uint8_t* bytes, std::int32_t length) {
    for (std::int32_t i = 1; i < length; ++i) {
        if (bytes[i] == 0) return true;
    }
    return false;
}

constexpr bool IsContinuation(std::uint8_t b) { return (b & 0xC0) == 0x80; }

// The code point of a well-formed four-byte sequence (lead F0-F4, three
// continuation bytes, 0x10000-0x10FFFF), or 0 for anything else.  The four
// bytes must already be known to lie before the terminator.
inline std::uint32_t SupplementaryCodePoint(const std::uint8_t* s) {
    if (s[0] > 0xF4 || !IsContinuation(s[1]) || !IsContinuation(s[2]) ||
        !IsContinuation(s[3])) {
        return 0;
    }
    const std::uint32_t cp = ((s[0] & 0x07u) << 18) | ((s[1] & 0x3Fu) << 12) |
                             ((s[2] & 0x3Fu) << 6) | (s[3] & 0x3Fu);
    return (cp >= 0x10000 && cp <= 0x10FFFF) ? cp : 0;
}

constexpr bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
constexpr bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Utf8ToWideText.  With kWrite the output holds capacity units; a unit is stored
// only while it leaves room for the terminator (count + 1 < capacity).
template <bool kWrite>
std::int32_t DecodeText(char16_t* out, const std::uint8_t* p, std::int32_t capacity) {
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
                for (std::int32_t i = 0; i < n; ++i) out[count + i] = p[i];
                if (!fits) return -1;
            }
            count += n;
            p += n;
            continue;
        }
        char16_t unit = b0;  // a stray continuation byte, or the lead of a cut sequence
        std::int32_t length = 1;
        if (b0 < 0xC0) {
            // 80-BF alone: the character of the same number.
        } else if (b0 < 0xE0) {
            if (p[1] != 0) {
                unit = TwoByteValue(b0, p[1]);
                length = 2;
            }
        } else if (b0 < 0xF0) {
            if (p[1] != 0 && p[2] != 0) {
                unit = ThreeByteValue(b0, p[1], p[2]);
                length = 3;
            }
        } else {
            const std::int32_t declared = Utf8SequenceLength(b0);
            if (!CutShort(p, declared)) {
                length = declared;
                unit = kReplacement;
                const std::uint32_t cp = declared == 4 ? SupplementaryCodePoint(p) : 0;
                if (cp != 0) {  // the surrogate pair, both units against the capacity
                    if constexpr (kWrite) {
                        if (count + 1 >= limit) return -1;
                        out[count] = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
                        out[count + 1] = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
                    }
                    count += 2;
                    p += 4;
                    continue;
                }
            }
        }
        // A multi-byte form of zero (C0 80, C0 40, E0 80 80) is no terminator:
        // ending the text there would drop the rest of the line.
        if (unit == 0) unit = kReplacement;
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
std::int32_t EncodeText(std::uint8_t* out, const char16_t* p, std::int32_t capacity) {
    if (kWrite && capacity <= 0) return -1;
    const std::int32_t limit = capacity - 1;  // bytes that fit before the terminator
    std::int32_t total = 0;
    for (;;) {
        const char16_t u = *p;
        if (u < 0x80) {  // a run of ASCII, or the terminator: as many bytes as fit are stored
            if (u == 0) break;
            std::int32_t n = 1;
            while (static_cast<char16_t>(p[n] - 1) < 0x7F) ++n;  // 0001-007F
            if constexpr (kWrite) {
                const bool fits = total + n <= limit;
                if (!fits) n = limit - total;
                for (std::int32_t i = 0; i < n; ++i) out[total + i] = static_cast<std::uint8_t>(p[i]);
                if (!fits) return -1;
            }
            total += n;
            p += n;
            continue;
        }
        if (u < 0x800) {
            if constexpr (kWrite) {
                if (total + 2 > limit) return -1;
                out[total] = static_cast<std::uint8_t>(0xC0 | (u >> 6));
                out[total + 1] = static_cast<std::uint8_t>(0x80 | (u & 0x3F));
            }
            total += 2;
            ++p;
            continue;
        }
        // p[1] is at most the terminator, since u is not zero.
        if (IsHighSurrogate(u) && IsLowSurrogate(p[1])) {
            if constexpr (kWrite) {
                if (total + 4 > limit) return -1;
                const std::uint32_t cp = 0x10000 + ((u - 0xD800u) << 10) + (p[1] - 0xDC00u);
                out[total] = static_cast<std::uint8_t>(0xF0 | (cp >> 18));
                out[total + 1] = static_cast<std::uint8_t>(0x80 | ((cp >> 12) & 0x3F));
                out[total + 2] = static_cast<std::uint8_t>(0x80 | ((cp >> 6) & 0x3F));
                out[total + 3] = static_cast<std::uint8_t>(0x80 | (cp & 0x3F));
            }
            total += 4;
            p += 2;
            continue;
        }
        if constexpr (kWrite) {  // three bytes, a lone surrogate included
            if (total + 3 > limit) return -1;
            out[total] = static_cast<std::uint8_t>(0xE0 | (u >> 12));
            out[total + 1] = static_cast<std::uint8_t>(0x80 | ((u >> 6) & 0x3F));
            out[total + 2] = static_cast<std::uint8_t>(0x80 | (u & 0x3F));
        }
        total += 3;
        ++p;
    }
    if constexpr (kWrite) out[total] = 0;
    return total;
}

}  // namespace

std::uint16_t Utf8ReadChar(const std::uint8_t* bytes, std::int32_t* length) {
    const std::uint8_t b0 = bytes[0];
    std::int32_t n = Utf8SequenceLength(b0);
    if (n > 1 && CutShort(bytes, n)) n = 1;  // the lead byte alone, as a stray byte reads
    if (length != nullptr) *length = n;
    switch (n) {
        case 1:
            return b0;
        case 2:
            return TwoByteValue(b0, bytes[1]);
        case 3:
            return ThreeByteValue(b0, bytes[1], bytes[2]);
        default:
            return 0xFFFF;
    }
}

std::int32_t Utf8WriteChar(std::uint8_t* buffer, std::uint16_t unit) {
    std::int32_t n;
    if (unit < 0x80) {
        buffer[0] = static_cast<std::uint8_t>(unit);
        n = 1;
    } else if (unit < 0x800) {
        buffer[0] = static_cast<std::uint8_t>(0xC0 | ((unit >> 6) & 0x1F));
        buffer[1] = static_cast<std::uint8_t>(0x80 | (unit & 0x3F));
        n = 2;
    } else {
        buffer[0] = static_cast<std::uint8_t>(0xE0 | ((unit >> 12) & 0x0F));
        buffer[1] = static_cast<std::uint8_t>(0x80 | ((unit >> 6) & 0x3F));
        buffer[2] = static_cast<std::uint8_t>(0x80 | (unit & 0x3F));
        n = 3;
    }
    buffer[n] = 0;
    return n;
}

std::int32_t WideToUtf8Text(std::uint8_t* out, const char16_t* text, std::int32_t capacity) {
    return out != nullptr ? EncodeText<true>(out, text, capacity)
                          : EncodeText<false>(nullptr, text, capacity);
}

std::int32_t Utf8ToWideText(char16_t* out, const std::uint8_t* text, std::int32_t capacity) {
    return out != nullptr ? DecodeText<true>(out, text, capacity)
                          : DecodeText<false>(nullptr, text, capacity);
}

}  // namespace ruv
