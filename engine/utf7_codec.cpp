// UTF-7 <-> UTF-16; the departures from RFC 2152 are tabulated in utf7_codec.h.
//
// Runs are modified base64 of the UTF-16 units, high byte first, between "+"
// and "-".  The encoder opens a run for every unit that is not plainly safe
// (class 0 or 2) and closes it with "-" before the next direct character; the
// decoder takes "+-" as "+", ends a run at its "-" (taken) or at any other
// non-digit (left for the text), and refuses what may not stand outside a run.
#include "engine/utf7_codec.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <utility>

#include "platform/byte_words.h"
#include "platform/utf16_units.h"

namespace ruv {
namespace {

constexpr std::uint8_t kNotDigit = 255;

constexpr std::array<std::uint8_t, 128> MakeDigitValues(const char* alphabet) {
    std::array<std::uint8_t, 128> values{};
    for (auto& v : values) v = kNotDigit;
    for (std::uint8_t i = 0; i < 64; ++i) values[static_cast<std::uint8_t>(alphabet[i])] = i;
    return values;
}

}  // namespace

constexpr char Utf7Alphabet[65] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<std::uint8_t, 128> Utf7DigitValue = MakeDigitValues(Utf7Alphabet);

static_assert(Utf7DigitValue['A'] == 0 && Utf7DigitValue['a'] == 26);
static_assert(Utf7DigitValue['0'] == 52 && Utf7DigitValue['+'] == 62);
static_assert(Utf7DigitValue['/'] == 63 && Utf7DigitValue['-'] == kNotDigit);
static_assert(Utf7DigitValue['='] == kNotDigit && Utf7DigitValue[0] == kNotDigit);

// 0 encoded, 1 direct, 2 optional direct (encoded here all the same), 3 the plus sign.
constexpr std::array<std::uint8_t, 128> Utf7CharClass = {
    0, 0, 0, 0, 0, 0, 0, 0,  // 00-07  controls
    0, 1, 1, 0, 0, 1, 0, 0,  // 08-0F  TAB LF CR direct
    0, 0, 0, 0, 0, 0, 0, 0,  // 10-17  controls
    0, 0, 0, 0, 0, 0, 0, 0,  // 18-1F  controls
    1, 2, 2, 2, 2, 2, 2, 1,  // 20-27  space ! " # $ % & '
    1, 1, 2, 3, 1, 1, 1, 1,  // 28-2F  ( ) * + , - . /
    1, 1, 1, 1, 1, 1, 1, 1,  // 30-37  0-7
    1, 1, 1, 2, 2, 2, 2, 1,  // 38-3F  8 9 : ; < = > ?
    1, 1, 1, 1, 1, 1, 1, 1,  // 40-47  @ A-G
    1, 1, 1, 1, 1, 1, 1, 1,  // 48-4F  H-O
    1, 1, 1, 1, 1, 1, 1, 1,  // 50-57  P-W
    1, 1, 1, 2, 0, 2, 2, 2,  // 58-5F  X Y Z [ \ ] ^ _
    2, 1, 1, 1, 1, 1, 1, 1,  // 60-67  ` a-g
    1, 1, 1, 1, 1, 1, 1, 1,  // 68-6F  h-o
    1, 1, 1, 1, 1, 1, 1, 1,  // 70-77  p-w
    1, 1, 1, 2, 2, 2, 0, 0,  // 78-7F  x y z { | } ~ DEL
};

constexpr std::int32_t CountClass(std::uint8_t c) {
    std::int32_t n = 0;
    for (auto k : Utf7CharClass) n += k == c;
    return n;
}
static_assert(CountClass(UTF7_ENCODED) == 32 && CountClass(UTF7_DIRECT) == 76);
static_assert(CountClass(UTF7_OPTIONAL) == 19 && CountClass(UTF7_PLUS) == 1);
static_assert(Utf7CharClass['@'] == UTF7_DIRECT && Utf7CharClass['+'] == UTF7_PLUS);

namespace {

// True for a unit written as itself: class 1 (class 2 and "+" are encoded).
inline bool IsDirectUnit(char16_t u) { return u < 0x80 && Utf7CharClass[u] == UTF7_DIRECT; }

// Every twelve bits as their two digits.
constexpr auto kDigitPairs = [] {
    std::array<std::array<std::uint8_t, 2>, 4096> pairs{};
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        pairs[i] = {static_cast<std::uint8_t>(Utf7Alphabet[i >> 6]),
                    static_cast<std::uint8_t>(Utf7Alphabet[i & 0x3F])};
    }
    return pairs;
}();

// The digits of a run "+digits-" for count units, and the run with its signs.
constexpr std::int32_t RunDigits(std::int32_t count) { return (count * 16 + 5) / 6; }
constexpr std::int32_t RunBytes(std::int32_t count) { return RunDigits(count) + 2; }

// Writes the run "+digits-" for count units; the caller has checked its room.
// The units are a stream of bits cut into digits of six from the top, three
// units (48 bits) to eight digits, the last digit padded with zero bits.
void PutRun(std::uint8_t* out, const char16_t* units, std::int32_t count) {
    *out++ = '+';
    std::int32_t i = 0;
    for (; count - i >= 3; i += 3) {  // two digits (twelve bits) at a time
        const std::uint64_t bits = static_cast<std::uint64_t>(units[i]) << 32 |
                                   static_cast<std::uint64_t>(units[i + 1]) << 16 | units[i + 2];
        for (std::int32_t d = 0; d < 4; ++d) {
            std::memcpy(out + 2 * d, kDigitPairs[(bits >> (36 - 12 * d)) & 0xFFF].data(), 2);
        }
        out += 8;
    }
    if (const std::int32_t left = count - i; left > 0) {  // 16 or 32 bits: 3 or 6 digits
        std::uint64_t bits = units[i];
        if (left == 2) bits = bits << 16 | units[i + 1];
        const std::int32_t digits = RunDigits(left);
        bits <<= digits * 6 - left * 16;  // the zero padding
        for (std::int32_t d = 0; d < digits; ++d) {
            out[d] =
                static_cast<std::uint8_t>(Utf7Alphabet[(bits >> (6 * (digits - 1 - d))) & 0x3F]);
        }
        out += digits;
    }
    *out = '-';
}

// The direct characters but TAB, LF and CR, as ranges of bytes.
constexpr std::pair<char, char> kDirectRanges[] = {
    {' ', ' '}, {'\'', ')'}, {',', ':'}, {'?', 'Z'}, {'a', 'z'}};
constexpr bool InDirectRanges(std::size_t b) {
    for (const auto& [first, last] : kDirectRanges) {
        if (b >= static_cast<std::size_t>(first) && b <= static_cast<std::size_t>(last))
            return true;
    }
    return b == '\t' || b == '\n' || b == '\r';
}
constexpr bool DirectRangesMatchTable() {
    for (std::size_t b = 0; b < 0x80; ++b) {
        if (InDirectRanges(b) != (Utf7CharClass[b] == UTF7_DIRECT)) return false;
    }
    return true;
}
static_assert(DirectRangesMatchTable());

#if RUV_HAVE_SSE2
// A bit for each of the sixteen bytes of v that is a direct character, TAB, LF
// and CR left out (signed compares: bytes >= 0x80 are below every range).
inline unsigned DirectByteMask(__m128i v) {
    auto in = [v](char first, char last) {
        return _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(static_cast<char>(first - 1))),
                             _mm_cmplt_epi8(v, _mm_set1_epi8(static_cast<char>(last + 1))));
    };
    static_assert(std::size(kDirectRanges) == 5);
    const auto& r = kDirectRanges;
    const __m128i direct = _mm_or_si128(
        _mm_or_si128(in(r[0].first, r[0].second), in(r[1].first, r[1].second)),
        _mm_or_si128(_mm_or_si128(in(r[2].first, r[2].second), in(r[3].first, r[3].second)),
                     in(r[4].first, r[4].second)));
    return static_cast<unsigned>(_mm_movemask_epi8(direct));
}

// A bit for each byte of v in 20-7D but "+" and backslash: text bytes, TAB, LF and
// CR left out.
inline unsigned TextByteMask(__m128i v) {
    const __m128i outside = _mm_or_si128(_mm_cmplt_epi8(v, _mm_set1_epi8(0x20)),
                                         _mm_cmpgt_epi8(v, _mm_set1_epi8(0x7D)));
    const __m128i signs =
        _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('+')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\\')));
    return ~static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(outside, signs))) & 0xFFFF;
}
#endif

// Copies the direct units from p up to the first other one or limit (never
// read) to out as bytes, or only measures; returns where it stopped.  With
// SSE2 sixteen units at a time are packed into bytes (units above FF become 00
// or FF, neither direct) and tested against the ranges of direct characters;
// TAB, LF and CR are looked up one at a time.
template <bool kWrite>
const char16_t* CopyDirectUnits(std::uint8_t* out, const char16_t* p, const char16_t* limit) {
    const char16_t* const start = p;
    while (p < limit) {
#if RUV_HAVE_SSE2
        if (limit - p >= 16) {
            const __m128i v =
                _mm_packus_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
                                 _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8)));
            const unsigned other = ~DirectByteMask(v) & 0xFFFF;
            if constexpr (kWrite)
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + (p - start)), v);
            if (other == 0) {
                p += 16;
                continue;
            }
            p += __builtin_ctz(other);
        }
#endif
        if (!IsDirectUnit(*p)) break;
        if constexpr (kWrite) out[p - start] = static_cast<std::uint8_t>(*p);
        ++p;
    }
    return p;
}

// One pass of the encoder, writing (kWrite) or only measuring.  Output fails
// exactly when the whole text with its terminator does not fit capacity, so
// each stretch is checked once before it is written.
template <bool kWrite>
std::int32_t EncodeText(std::uint8_t* out, const char16_t* text, const char16_t* end,
                        std::int32_t capacity, LostCount* lost) {
    if constexpr (kWrite) {
        if (capacity < 1) return -1;  // no room even for the terminator
    }
    std::int32_t count = 0;  // below capacity after every stretch written
    const char16_t* p = text;
    for (;;) {
        // A stretch of direct units is copied as it is, as far as it fits.
        if (IsDirectUnit(*p)) {
            const char16_t* limit = end;
            if constexpr (kWrite)
                limit = p + std::min<std::ptrdiff_t>(end - p, capacity - 1 - count);
            const char16_t* q = CopyDirectUnits<kWrite>(kWrite ? out + count : out, p, limit);
            if (q == limit && IsDirectUnit(*q)) return -1;  // not all of it fits
            count += static_cast<std::int32_t>(q - p);
            p = q;
        }
        if (*p == 0) break;
        // A lone surrogate is no character: a "?", which also closes a run.
        if (IsSurrogate(*p) && IsLoneSurrogateAt(text, static_cast<std::size_t>(p - text))) {
            if (lost != nullptr) ++lost->broken;
            if constexpr (kWrite) {
                if (1 >= capacity - count) return -1;
                out[count] = LONE_SURROGATE_REPLACEMENT;
            }
            ++count;
            ++p;
            continue;
        }
        if (*p == u'+') {  // "+-" outside a run
            if constexpr (kWrite) {
                if (2 >= capacity - count) return -1;
                out[count] = '+';
                out[count + 1] = '-';
            }
            count += 2;
            ++p;
            continue;
        }
        // A run takes every unit up to the next direct one or lone surrogate,
        // a plus sign included.
        const char16_t* q = p + 1;
        for (; *q != 0 && !IsDirectUnit(*q); ++q) {
            if (IsSurrogate(*q) && IsLoneSurrogateAt(text, static_cast<std::size_t>(q - text)))
                break;
        }
        const auto units = static_cast<std::int32_t>(q - p);
        if constexpr (kWrite) {
            if (RunBytes(units) >= capacity - count) {
                // The lone surrogate that closes the run was counted before it failed.
                if (*q != 0 && !IsDirectUnit(*q) && lost != nullptr) ++lost->broken;
                return -1;
            }
            PutRun(out + count, p, units);
        }
        count += RunBytes(units);
        p = q;
    }
    if constexpr (kWrite) {
        if (count >= capacity) return -1;
        out[count] = 0;
    }
    return count;
}

}  // namespace

std::int32_t WideToUtf7Text(std::uint8_t* out, const char16_t* text, std::int32_t capacity,
                            LostCount* lost) {
    const auto length = static_cast<std::int32_t>(detail::UnitTextEnd(text) - text);
    return WideToUtf7TextOfLength(out, text, length, capacity, lost);
}

std::int32_t WideToUtf7TextOfLength(std::uint8_t* out, const char16_t* text, std::int32_t length,
                                    std::int32_t capacity, LostCount* lost) {
    return out != nullptr ? EncodeText<true>(out, text, text + length, capacity, lost)
                          : EncodeText<false>(out, text, text + length, capacity, lost);
}

namespace {

// Byte tables for the decoder: the digit values over all 256 bytes (255: not
// a digit), and the bytes that stand for themselves (classes 1 and 2).
constexpr std::array<std::uint8_t, 256> MakeByteDigits() {
    std::array<std::uint8_t, 256> values{};
    for (std::size_t b = 0; b < values.size(); ++b) {
        values[b] = b < 0x80 ? Utf7DigitValue[b] : kNotDigit;
    }
    return values;
}
constexpr std::array<bool, 256> MakeTextBytes() {
    std::array<bool, 256> text{};
    for (std::size_t b = 0; b < 0x80; ++b) {
        text[b] = Utf7CharClass[b] == UTF7_DIRECT || Utf7CharClass[b] == UTF7_OPTIONAL;
    }
    return text;
}
constexpr std::array<std::uint8_t, 256> kByteDigit = MakeByteDigits();
constexpr std::array<bool, 256> kTextByte = MakeTextBytes();
static_assert(!kTextByte[0] && !kTextByte['+'] && !kTextByte['\\'] && kTextByte['\t']);

}  // namespace

namespace {

constexpr std::array<bool, 256> MakeDirectBytes() {
    std::array<bool, 256> direct{};
    for (std::size_t b = 0; b < 0x80; ++b) direct[b] = Utf7CharClass[b] == UTF7_DIRECT;
    return direct;
}
constexpr std::array<bool, 256> kDirectByte = MakeDirectBytes();

// Utf7ByteRunLength for one kind of byte.  With SSE2 sixteen bytes at a time,
// the last fewer than sixteen as the tail of the sixteen that end at end when
// the text has them; a byte the masks leave out (TAB, LF, CR) from the table.
template <bool kText>
std::int32_t ByteRunLength([[maybe_unused]] const std::uint8_t* text, const std::uint8_t* p,
                           const std::uint8_t* end) {
    const auto& table = kText ? kTextByte : kDirectByte;
    const std::uint8_t* q = p;
#if RUV_HAVE_SSE2
    auto others = [](const std::uint8_t* at) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        return ~(kText ? TextByteMask(v) : DirectByteMask(v)) & 0xFFFF;
    };
    for (;;) {
        unsigned other = 0;
        if (end - q >= 16) {
            other = others(q);
        } else if (q < end && end - text >= 16) {
            other = others(end - 16) >> (16 - (end - q));
            if (other == 0) return static_cast<std::int32_t>(end - p);
        } else {
            break;
        }
        if (other == 0) {
            q += 16;
            continue;
        }
        q += __builtin_ctz(other);
        if (!table[*q]) return static_cast<std::int32_t>(q - p);
        ++q;
    }
#endif
    while (q < end && table[*q]) ++q;
    return static_cast<std::int32_t>(q - p);
}

}  // namespace

std::int32_t Utf7ByteRunLength(const std::uint8_t* text, const std::uint8_t* p,
                               const std::uint8_t* end, Utf7Bytes which) {
    return which == Utf7Bytes::Text ? ByteRunLength<true>(text, p, end)
                                    : ByteRunLength<false>(text, p, end);
}

namespace {

// One pass of the decoder, writing (kWrite) or only measuring.  As in the
// encoder, capacity fails exactly when the whole text does not fit, so a
// stretch of text bytes is checked once and widened in one go.
template <bool kWrite, Utf7Reading kReading>
std::int32_t DecodeText(char16_t* out, const std::uint8_t* text, std::int32_t capacity,
                        LostCount* lost) {
    const std::uint8_t* const end = detail::TextEnd(text);
    const std::uint8_t* p = text;
    std::int32_t count = 0;
    std::int32_t firstSurrogate = -1;  // the first unit a run gave in D800-DFFF
    // Writes one unit of a run: a zero unit would end the line early on every
    // road after this one, so the text is refused, as a file holding a zero byte is.
    auto put = [&](std::uint32_t unit) {
        if (unit == 0) return false;
        if constexpr (kWrite) {
            if (1 >= capacity - count) return false;
            out[count] = static_cast<char16_t>(unit);
            if (firstSurrogate < 0 && IsSurrogate(unit)) firstSurrogate = count;
        }
        ++count;
        return true;
    };
    while (p < end) {
        if (kTextByte[*p]) {  // a stretch of text bytes, widened in one go
            const std::int32_t n = ByteRunLength<true>(text, p, end);
            if constexpr (kWrite) {
                if (n >= capacity - count) return -1;
                detail::WidenBytes(out + count, p, n);
            }
            count += n;
            p += n;
            if (p == end) break;
        }
        if (*p != '+') return -1;  // a byte >= 0x80 or a class-0 character outside a run
        ++p;
        if (*p == '-') {  // "+-" is the plus sign itself
            if (!put(u'+')) return -1;
            ++p;
            continue;
        }
        // The digits as a stream of bits: eight digits (three units) at a
        // time while they last, then one at a time.
        std::uint64_t bits = 0;
        std::int32_t pending = 0;  // bits in `bits`, fewer than 16 between digits
        std::int32_t digits = 0;
        std::uint32_t last = 0;  // the value of the last digit
        while (end - p >= 8) {
            std::uint64_t group = 0;
            std::uint32_t any = 0;
            for (std::int32_t i = 0; i < 8; ++i) {
                const std::uint32_t v = kByteDigit[p[i]];
                any |= v;
                group = group << 6 | v;
            }
            if ((any & 0x80) != 0) break;  // a non-digit among them
            bits = bits << 48 | group;
            last = kByteDigit[p[7]];
            digits += 8;
            p += 8;
            if (!put(static_cast<std::uint32_t>(bits >> (pending + 32)) & 0xFFFF) ||
                !put(static_cast<std::uint32_t>(bits >> (pending + 16)) & 0xFFFF) ||
                !put(static_cast<std::uint32_t>(bits >> pending) & 0xFFFF)) {
                return -1;
            }
            bits &= (std::uint64_t{1} << pending) - 1;
        }
        for (;; ++p) {
            const std::uint32_t v = kByteDigit[*p];  // the terminator is no digit
            if (v == kNotDigit) break;
            bits = bits << 6 | v;
            pending += 6;
            ++digits;
            last = v;
            if (pending >= 16) {
                pending -= 16;
                if (!put(static_cast<std::uint32_t>(bits >> pending) & 0xFFFF)) return -1;
                bits &= (std::uint64_t{1} << pending) - 1;
            }
        }
        // The last digit's bits, padded with zero bits to a whole byte, finish
        // a unit when more than eight are left; a lone byte left over is dropped.
        if (pending > 8 && !put(static_cast<std::uint32_t>(bits << (16 - pending)) & 0xFFFF)) {
            return -1;
        }
        // No digits means "+" before a non-digit, read as text when lenient.
        if (kReading == Utf7Reading::Strict && (digits == 0 || !Utf7RunEndsWell(digits, last))) {
            return -1;
        }
        if (*p == '-') ++p;
    }
    if constexpr (kWrite) {
        if (count >= capacity) return -1;
        out[count] = 0;
        // Units from text bytes are never surrogates, so the search starts at
        // the first a run gave; it goes on to the end so that a pair split
        // between two runs is kept.  Each one replaced is counted.
        for (std::int32_t i = firstSurrogate; i >= 0 && i < count; ++i) {
            if (!IsLoneSurrogateAt(out, static_cast<std::size_t>(i))) continue;
            out[i] = LONE_SURROGATE_REPLACEMENT;
            if (lost != nullptr) ++lost->broken;
        }
    }
    return count;
}

template <Utf7Reading kReading>
std::int32_t Decode(char16_t* out, const std::uint8_t* text, std::int32_t capacity,
                    LostCount* lost) {
    return out != nullptr ? DecodeText<true, kReading>(out, text, capacity, lost)
                          : DecodeText<false, kReading>(out, text, capacity, lost);
}

}  // namespace

std::int32_t Utf7ToWideText(char16_t* out, const std::uint8_t* text, std::int32_t capacity,
                            LostCount* lost) {
    return Decode<Utf7Reading::Lenient>(out, text, capacity, lost);
}

std::int32_t Utf7ToWideTextStrict(char16_t* out, const std::uint8_t* text, std::int32_t capacity,
                                  LostCount* lost) {
    return Decode<Utf7Reading::Strict>(out, text, capacity, lost);
}

}  // namespace ruv
