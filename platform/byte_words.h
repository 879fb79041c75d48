// Scans of zero-terminated byte and UTF-16 text several bytes at a time: the
// ASCII runs the codecs copy in one piece, and the word tests they stop on.
//
// ASCII runs are measured sixteen bytes at a time with SSE2 where the compiler
// targets it (every x86-64), eight at a time in a 64-bit word elsewhere.  Both
// paths are always compiled, so the tests hold them to the same answers.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#define RUV_HAVE_SSE2 1
#else
#define RUV_HAVE_SSE2 0
#endif

namespace ruv::detail {

// The end of a zero-terminated text: the address of its terminator.  The codecs
// find it first, so their runs may be scanned eight bytes at a time without
// ever reading past it.
inline const std::uint8_t* TextEnd(const std::uint8_t* text) {
    return text + std::strlen(reinterpret_cast<const char*>(text));
}

inline constexpr std::uint64_t kHighBits = 0x8080808080808080u;
inline constexpr std::uint64_t kLowBits = 0x0101010101010101u;

inline std::uint64_t LoadWord(const std::uint8_t* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// True when some byte of word equals b (the classic zero-byte test on word ^ b...b).
inline bool WordHasByte(std::uint64_t word, std::uint8_t b) {
    const std::uint64_t x = word ^ (kLowBits * b);
    return ((x - kLowBits) & ~x & kHighBits) != 0;
}

// The length of the run at p that the sixteen bytes ending at end close: at
// the first byte whose bit is set in stops, else at end.  A text's last bytes
// are read as the sixteen that end it: those of them already looked at are
// all in the run, so their bits are clear.
inline std::int32_t TailRunLength(const std::uint8_t* p, const std::uint8_t* end, int stops) {
    return static_cast<std::int32_t>(
        stops == 0 ? end - p : end - 16 - p + __builtin_ctz(static_cast<unsigned>(stops)));
}

// How AsciiRunLength reads: the widest the machine has, or 64-bit words only.
enum class ByteScan { Widest, Words };

// Bytes from p up to the first byte >= 0x80 or end (p <= end); never reads at
// or past end.
template <ByteScan kScan = ByteScan::Widest>
inline std::int32_t AsciiRunLength(const std::uint8_t* p, const std::uint8_t* end) {
    const std::uint8_t* q = p;
#if RUV_HAVE_SSE2
    if constexpr (kScan == ByteScan::Widest) {
        for (; end - q >= 16; q += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
            if (const int high = _mm_movemask_epi8(v); high != 0) {
                return static_cast<std::int32_t>(q - p) +
                       __builtin_ctz(static_cast<unsigned>(high));
            }
        }
        if (q < end && end - p >= 16) {  // the last bytes, in the 16 that end the text
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 16));
            return TailRunLength(p, end, _mm_movemask_epi8(v));
        }
    }
#endif
    while (end - q >= 8 && (LoadWord(q) & kHighBits) == 0) q += 8;
    while (q < end && *q < 0x80) ++q;
    return static_cast<std::int32_t>(q - p);
}

// Writes the n bytes at p as n UTF-16 units (each byte its own unit), sixteen
// at a time where the machine has SSE2.
template <ByteScan kScan = ByteScan::Widest>
inline void WidenBytes(char16_t* out, const std::uint8_t* p, std::int32_t n) {
    std::int32_t i = 0;
#if RUV_HAVE_SSE2
    if constexpr (kScan == ByteScan::Widest) {
        const __m128i zero = _mm_setzero_si128();
        for (; n - i >= 16; i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(v, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_unpackhi_epi8(v, zero));
        }
    }
#endif
    for (; i < n; ++i) out[i] = p[i];
}

// The end of a zero-terminated UTF-16 text: the address of its terminator.
// With SSE2, as a C library's strlen does: unit by unit up to a 16-byte
// boundary, then eight units at a time by aligned loads.  An aligned load lies
// within one page, so reading past the terminator to the end of its 16 bytes
// cannot fault; the sanitizers, which would take those bytes for an overrun,
// are told not to watch this function.
#if defined(__GNUC__)
__attribute__((no_sanitize("address", "thread")))
#endif
inline const char16_t*
UnitTextEnd(const char16_t* text) {
#if RUV_HAVE_SSE2
    for (; reinterpret_cast<std::uintptr_t>(text) % 16 != 0; ++text) {
        if (*text == 0) return text;
    }
    const __m128i zero = _mm_setzero_si128();
    for (;; text += 8) {
        const __m128i v = _mm_load_si128(reinterpret_cast<const __m128i*>(text));
        if (const int hit = _mm_movemask_epi8(_mm_cmpeq_epi16(v, zero)); hit != 0) {
            return text + __builtin_ctz(static_cast<unsigned>(hit)) / 2;
        }
    }
#else
    while (*text != 0) ++text;
    return text;
#endif
}

// Units from p up to the first whose bits under mask equal value (stopOnEqual)
// or differ from it (not stopOnEqual), or end (p <= end); never reads at or
// past end.
template <ByteScan kScan = ByteScan::Widest>
inline std::int32_t MaskedUnitRunLength(const char16_t* p, const char16_t* end, char16_t mask,
                                        char16_t value, bool stopOnEqual) {
    const char16_t* q = p;
#if RUV_HAVE_SSE2
    if constexpr (kScan == ByteScan::Widest) {
        const __m128i vmask = _mm_set1_epi16(static_cast<short>(mask));
        const __m128i vvalue = _mm_set1_epi16(static_cast<short>(value));
        const int flip = stopOnEqual ? 0 : 0xFFFF;
        for (; end - q >= 8; q += 8) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
            const int stops =
                _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, vmask), vvalue)) ^ flip;
            if (stops != 0) {
                return static_cast<std::int32_t>(q - p) +
                       __builtin_ctz(static_cast<unsigned>(stops)) / 2;
            }
        }
    }
#endif
    while (q < end && ((*q & mask) == value) != stopOnEqual) ++q;
    return static_cast<std::int32_t>(q - p);
}

// Units from p up to the first unit >= 0x80 or end.
template <ByteScan kScan = ByteScan::Widest>
inline std::int32_t AsciiUnitRunLength(const char16_t* p, const char16_t* end) {
    return MaskedUnitRunLength<kScan>(p, end, 0xFF80, 0, false);
}

// Writes the n units at p, each below 0x100, as n bytes: the reverse of
// WidenBytes, sixteen at a time where the machine has SSE2.
template <ByteScan kScan = ByteScan::Widest>
inline void NarrowUnits(std::uint8_t* out, const char16_t* p, std::int32_t n) {
    std::int32_t i = 0;
#if RUV_HAVE_SSE2
    if constexpr (kScan == ByteScan::Widest) {
        for (; n - i >= 16; i += 16) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 8));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(a, b));
        }
    }
#endif
    for (; i < n; ++i) out[i] = static_cast<std::uint8_t>(p[i]);
}

// The index of the first unit equal to a or b among the count little-endian
// units at p (bytes, two a unit, as read from a file), or count.  With copy,
// the units up to and with that one are written there too (and perhaps some
// after it, never the count-th or later), in one pass.
template <ByteScan kScan = ByteScan::Widest>
inline std::size_t UnitIndex(const std::uint8_t* p, std::size_t count, char16_t a, char16_t b,
                             char16_t* copy = nullptr) {
    std::size_t k = 0;
#if RUV_HAVE_SSE2
    if constexpr (kScan == ByteScan::Widest) {
        const __m128i va = _mm_set1_epi16(static_cast<short>(a));
        const __m128i vb = _mm_set1_epi16(static_cast<short>(b));
        for (; count - k >= 8; k += 8) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * k));
            if (copy != nullptr) _mm_storeu_si128(reinterpret_cast<__m128i*>(copy + k), v);
            const __m128i hits = _mm_or_si128(_mm_cmpeq_epi16(v, va), _mm_cmpeq_epi16(v, vb));
            if (const int hit = _mm_movemask_epi8(hits); hit != 0) {
                return k + __builtin_ctz(static_cast<unsigned>(hit)) / 2;
            }
        }
    }
#endif
    // A word with a zero unit after the xor holds a or b; the test may also
    // fire on the unit after one, so the units are then looked at one by one.
    constexpr std::uint64_t kUnitLow = 0x0001000100010001u, kUnitHigh = 0x8000800080008000u;
    const auto holdsZeroUnit = [](std::uint64_t x) {
        return ((x - kUnitLow) & ~x & kUnitHigh) != 0;
    };
    if constexpr (std::endian::native == std::endian::little) {  // a word's units in order
        for (; count - k >= 4; k += 4) {
            const std::uint64_t x = LoadWord(p + 2 * k);
            if (holdsZeroUnit(x ^ (kUnitLow * a)) || holdsZeroUnit(x ^ (kUnitLow * b))) break;
            if (copy != nullptr) std::memcpy(copy + k, &x, sizeof x);
        }
    }
    for (; k < count; ++k) {
        const char16_t u = static_cast<char16_t>(p[2 * k] | p[2 * k + 1] << 8);
        if (copy != nullptr) copy[k] = u;
        if (u == a || u == b) return k;
    }
    return k;
}

// The index of the first 0000 unit among the count units at p, or count.
template <ByteScan kScan = ByteScan::Widest>
inline std::size_t ZeroUnitIndex(const std::uint8_t* p, std::size_t count) {
    return UnitIndex<kScan>(p, count, 0, 0);
}

// Copies the n bytes at p into out up to and with the first CR or LF; returns
// that line end's index, or n when there is none (all n copied).  Writes no
// byte of out at or past n.
template <ByteScan kScan = ByteScan::Widest>
inline std::size_t CopyThroughLineEnd(std::uint8_t* out, const std::uint8_t* p, std::size_t n) {
    std::size_t i = 0;
#if RUV_HAVE_SSE2
    if constexpr (kScan == ByteScan::Widest) {
        const __m128i cr = _mm_set1_epi8(0x0D), lf = _mm_set1_epi8(0x0A);
        for (; n - i >= 16; i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), v);
            const __m128i ends = _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf));
            if (const int hit = _mm_movemask_epi8(ends); hit != 0) {
                return i + __builtin_ctz(static_cast<unsigned>(hit));
            }
        }
    }
#endif
    for (; n - i >= 8; i += 8) {
        const std::uint64_t word = LoadWord(p + i);
        if (WordHasByte(word, 0x0D) || WordHasByte(word, 0x0A)) break;
        std::memcpy(out + i, &word, sizeof word);
    }
    for (; i < n; ++i) {
        out[i] = p[i];
        if (p[i] == 0x0D || p[i] == 0x0A) return i;
    }
    return n;
}

// Narrows the run of units below 0x80 at p (up to end) into out, at most room
// of them, and returns how many it narrowed: the whole run, or room when the
// run is longer.  May write bytes after the run, but never at or past
// out + room: a caller that writes on from the run's end overwrites them.
template <ByteScan kScan = ByteScan::Widest>
inline std::int32_t NarrowAsciiRun(std::uint8_t* out, const char16_t* p, const char16_t* end,
                                   std::int32_t room) {
    std::int32_t n = 0;
#if RUV_HAVE_SSE2
    if constexpr (kScan == ByteScan::Widest) {
        const __m128i highBits = _mm_set1_epi16(static_cast<short>(0xFF80));
        const __m128i zero = _mm_setzero_si128();
        while (end - (p + n) >= 8 && room - n >= 8) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + n));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out + n), _mm_packus_epi16(v, v));
            const int low = _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, highBits), zero));
            if (low != 0xFFFF) return n + __builtin_ctz(static_cast<unsigned>(~low)) / 2;
            n += 8;
        }
    }
#endif
    for (; p + n < end && n < room && p[n] < 0x80; ++n) out[n] = static_cast<std::uint8_t>(p[n]);
    return n;
}

// Units from p up to the first surrogate (D800-DFFF) or end.
template <ByteScan kScan = ByteScan::Widest>
inline std::int32_t SurrogateFreeLength(const char16_t* p, const char16_t* end) {
    return MaskedUnitRunLength<kScan>(p, end, 0xF800, 0xD800, true);
}

// A byte of clean text: 01-7F but ESC (1B), SO (0E) and SI (0F), which open or
// close shifts.  Such bytes read the same in every byte code here.
inline bool IsCleanByte(std::uint8_t b) {
    return static_cast<std::uint8_t>(b - 1) < 0x7F && b != 0x1B && (b | 1) != 0x0F;
}

#if RUV_HAVE_SSE2
// Bit i set when byte i of v is clean.
inline int CleanBytesMask(__m128i v) {
    const __m128i positive = _mm_cmpgt_epi8(v, _mm_setzero_si128());  // 01-7F
    const __m128i esc = _mm_cmpeq_epi8(v, _mm_set1_epi8(0x1B));
    const __m128i shift = _mm_cmpeq_epi8(_mm_or_si128(v, _mm_set1_epi8(0x01)), _mm_set1_epi8(0x0F));
    return _mm_movemask_epi8(_mm_andnot_si128(_mm_or_si128(esc, shift), positive));
}
#endif

// Bytes from p up to the first byte that is not clean, or end.
template <ByteScan kScan = ByteScan::Widest>
inline std::int32_t CleanRunLength(const std::uint8_t* p, const std::uint8_t* end) {
    const std::uint8_t* q = p;
#if RUV_HAVE_SSE2
    if constexpr (kScan == ByteScan::Widest) {
        for (; end - q >= 16; q += 16) {
            const int clean = CleanBytesMask(_mm_loadu_si128(reinterpret_cast<const __m128i*>(q)));
            if (clean != 0xFFFF) {
                return static_cast<std::int32_t>(q - p) +
                       __builtin_ctz(static_cast<unsigned>(~clean));
            }
        }
        if (q < end && end - p >= 16) {  // the last bytes, in the 16 that end the text
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 16));
            return TailRunLength(p, end, ~CleanBytesMask(v) & 0xFFFF);
        }
    }
#endif
    while (q < end && IsCleanByte(*q)) ++q;
    return static_cast<std::int32_t>(q - p);
}

// How many of the count little-endian units at p equal unit.
template <ByteScan kScan = ByteScan::Widest>
inline std::size_t CountUnits(const std::uint8_t* p, std::size_t count, char16_t unit) {
    const std::uint8_t* const end = p + 2 * count;
    std::size_t found = 0;
#if RUV_HAVE_SSE2
    if constexpr (kScan == ByteScan::Widest) {
        // Eight counters, one a lane (a match subtracts -1), summed before any
        // can pass 0x7FFF.
        const __m128i wanted = _mm_set1_epi16(static_cast<short>(unit));
        const auto sum = [](__m128i lanes) {
            alignas(16) std::int32_t pairs[4];
            _mm_store_si128(reinterpret_cast<__m128i*>(pairs),
                            _mm_madd_epi16(lanes, _mm_set1_epi16(1)));
            return static_cast<std::size_t>(pairs[0] + pairs[1] + pairs[2] + pairs[3]);
        };
        __m128i lanes = _mm_setzero_si128();
        for (int rounds = 0; end - p >= 16; p += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            lanes = _mm_sub_epi16(lanes, _mm_cmpeq_epi16(v, wanted));
            if (++rounds == 0x7FFF) {
                found += sum(lanes);
                lanes = _mm_setzero_si128();
                rounds = 0;
            }
        }
        found += sum(lanes);
    }
#endif
    for (; p < end; p += 2) found += (p[0] | p[1] << 8) == unit;
    return found;
}

}  // namespace ruv::detail
