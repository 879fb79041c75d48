#include "detect/code_detector.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <system_error>

#include "engine/jis_escapes.h"
#include "engine/sjis_primitives.h"
#include "engine/utf7_codec.h"
#include "platform/byte_words.h"
#include "platform/file_handle.h"
#include "platform/utf16_units.h"

namespace ruv {
namespace {

// Fewer bytes than this say nothing about their code.
constexpr std::int32_t MIN_DETECT_BYTES = 2;

struct ByteRange {
    std::uint8_t low;
    std::uint8_t high;
    constexpr bool Contains(std::uint8_t b) const { return low <= b && b <= high; }
};

constexpr std::uint8_t CR = 0x0D;
constexpr std::uint8_t LF = 0x0A;
constexpr std::uint8_t UTF7_SHIFT_START = '+';
constexpr std::uint8_t UTF7_SHIFT_END = '-';

// At an odd offset, a byte in this range would be a UTF-16 high byte outside the
// Japanese blocks (Yi, Hangul, surrogates, private use); far more often it is
// part of 8-bit text, so it rules UTF-16 out.
constexpr ByteRange ODD_HIGH_BYTE{0xA0, 0xF7};

// UTF-8: a three-byte lead 1110xxxx followed by two continuation bytes
// 10xxxxxx, the form of every kana and kanji.  A two-byte lead (110xxxxx) is
// not counted with two more bytes: EUC-JP kana look exactly like that (D1 A4 A2
// is ぱあ), and counting them made kana-heavy EUC-JP text convert as UTF-8,
// which destroys it.
constexpr std::uint8_t UTF8_TOP_BITS = 0xC0;
constexpr std::uint8_t UTF8_LEAD_TOP_BITS = 0xF0;
constexpr std::uint8_t UTF8_LEAD_BITS = 0xE0;
constexpr std::uint8_t UTF8_CONTINUATION_BITS = 0x80;
constexpr std::int32_t UTF8_CONTINUATIONS_COUNTED = 2;

constexpr ByteRange EUC_BYTE{0xA1, 0xFE};
constexpr std::uint8_t EUC_SS2 = 0x8E;
constexpr std::uint8_t EUC_SS3 = 0x8F;
constexpr std::uint8_t SJIS_NO_BYTE = 0xFD;  // FD-FF: neither lead nor trail

// One multi-byte code read on its own alignment: where its characters start,
// how many two-byte characters it finds, and whether it meets a sequence the
// code cannot hold.  A head may start inside a character, so a walk's
// alignment is sure only from the first 7-bit byte it reads as a character:
// before that, only a byte that the code holds nowhere counts as impossible.
struct MultiByteWalk {
    std::int32_t pairs = 0;
    std::int32_t trailBytes = 0;  // bytes of the current character still to skip
    bool aligned = false;
    bool impossible = false;  // a sequence the code cannot hold
};

struct Evidence {
    bool marked = false;    // the bytes start with the UTF-16LE mark FF FE
    bool unitsPair = true;  // marked: every surrogate unit so far has its partner
    bool highOpen = false;  // marked: the last unit is a high surrogate
    std::int32_t utf16LineEnds = 0;
    bool oddHighByte = false;
    bool zeroSeen = false;
    bool utf7Valid = true;
    bool inShift = false;
    std::int32_t runDigits = 0;   // base64 digits of the open shift
    std::uint32_t lastDigit = 0;  // the value of its last digit
    std::uint32_t runBits = 0;    // its bits not yet in a whole unit
    bool highSurrogate = false;   // its last unit opened a surrogate pair
    std::int32_t utf7Runs = 0;    // shifts with digits that ended well
    std::int32_t jisEscapes = 0;
    std::int32_t utf8Sequences = 0;
    std::int32_t utf8Skip = 0;
    bool utf8Valid = true;         // every 8-bit byte so far in a well-formed sequence
    std::int32_t utf8Pending = 0;  // continuation bytes still expected
    std::int32_t utf8Multi = 0;    // whole well-formed sequences of any length
    MultiByteWalk sjis;
    MultiByteWalk euc;
};

// True for a byte that the UTF-7 decoder accepts outside a shift.
bool IsUtf7PlainByte(std::uint8_t b) { return b < 0x80 && Utf7CharClass[b] != UTF7_ENCODED; }

// True for a unit that Japanese text decoded from UTF-7 may hold: no control
// but TAB LF CR, no Hangul syllable, no private use, surrogates only in pairs.
// The digits of plain words ("+extended", "+128") decode to the units left out.
bool IsPlausibleUnit(Evidence& e, std::uint32_t u) {
    if (e.highSurrogate != IsLowSurrogate(u)) return false;
    e.highSurrogate = IsHighSurrogate(u);
    if (u < 0x20) return u == '\t' || u == LF || u == CR;
    return !(u >= 0xAC00 && u <= 0xD7FF) && !(u >= 0xE000 && u <= 0xF8FF);
}

// Follows the text as the strict UTF-7 decoder reads it: a shift runs from "+"
// over base64 digits and ends at the first other byte ("-" is taken with it);
// it must end well (Utf7RunEndsWell) and decode to plausible units, and "+"
// before a non-digit other than "-" is malformed.  Outside a shift only bytes
// that the decoder accepts may stand.  Once false, false.
void TrackUtf7(Evidence& e, std::uint8_t x) {
    if (!e.utf7Valid) return;
    if (e.inShift) {
        if (IsUtf7Digit(x)) {
            ++e.runDigits;
            e.lastDigit = Utf7DigitValue[x];
            e.runBits = (e.runBits << 6) | e.lastDigit;
            // Bits past the last whole unit: fewer than six when this digit completed one.
            const std::int32_t pending = (e.runDigits * 6) % 16;
            if (pending < 6) {
                e.utf7Valid = IsPlausibleUnit(e, (e.runBits >> pending) & 0xFFFF);
                e.runBits &= (1u << pending) - 1;
            }
            return;
        }
        const bool wellEnded = e.runDigits == 0
                                   ? x == UTF7_SHIFT_END
                                   : Utf7RunEndsWell(e.runDigits, e.lastDigit) && !e.highSurrogate;
        if (!wellEnded) {
            e.utf7Valid = false;
            return;
        }
        if (e.runDigits > 0) ++e.utf7Runs;
        e.inShift = false;
        if (x == UTF7_SHIFT_END) return;  // taken with the shift
    }
    if (x == UTF7_SHIFT_START) {
        e.inShift = true;
        e.runDigits = 0;
        e.runBits = 0;
    } else {
        e.utf7Valid = IsUtf7PlainByte(x);
    }
}

// Follows the UTF-8 form of every byte: leads C2-F4, each followed by its
// continuation bytes 80-BF.  Continuation bytes among the first three bytes
// belong to a sequence cut by the head's start.  Once false, false.
void TrackUtf8(Evidence& e, std::uint8_t x, std::int32_t offset) {
    if (!e.utf8Valid) return;
    const bool continuation = (x & UTF8_TOP_BITS) == UTF8_CONTINUATION_BITS;
    if (e.utf8Pending > 0) {
        e.utf8Valid = continuation;
        if (--e.utf8Pending == 0) ++e.utf8Multi;
        return;
    }
    if (x < 0x80) return;
    if (x >= 0xC2 && x <= 0xDF) {
        e.utf8Pending = 1;
    } else if (x >= 0xE0 && x <= 0xEF) {
        e.utf8Pending = 2;
    } else if (x >= 0xF0 && x <= 0xF4) {
        e.utf8Pending = 3;
    } else {
        e.utf8Valid = continuation && offset < 3;
    }
}

// A designation that marks the text as ISO-2022-JP: the two-byte sets and
// ESC ( I (half-width katakana, which a text of kana alone may use without any
// kanji).  Reads no byte after one that fails to match.
bool IsJisEscape(const std::uint8_t* p) {
    const JisEscape* e = MatchJisEscape(p);
    return e != nullptr && e->marksJis;
}

bool IsUtf8Triple(const std::uint8_t* p) {
    return (p[0] & UTF8_LEAD_TOP_BITS) == UTF8_LEAD_BITS &&
           (p[1] & UTF8_TOP_BITS) == UTF8_CONTINUATION_BITS &&
           (p[2] & UTF8_TOP_BITS) == UTF8_CONTINUATION_BITS;
}

// A Shift_JIS character starts at p[0]; left is the number of data bytes
// from p[0] on, and a pair is not counted inTriple (see CountSequences).
// 80 and A0 start no character, FD-FF stand nowhere, and a lead byte needs a
// trail byte (unless the data ends after it).
void WalkSjis(MultiByteWalk& w, const std::uint8_t* p, std::int32_t left, bool inTriple) {
    const std::uint8_t x = p[0];
    if (x < 0x80) {
        w.aligned = true;
    } else if (IsSjisLeadByte(x)) {
        if (IsSjisTrailByte(p[1])) {
            w.pairs += inTriple ? 0 : 1;
            w.trailBytes = 1;
        } else if (left > 1) {
            w.impossible |= w.aligned;
        }
    } else if (x >= SJIS_NO_BYTE) {
        w.impossible = true;
    } else if (!IsHalfWidthKana(x)) {
        w.impossible |= w.aligned;  // 80 or A0: a trail byte only
    }
}

// An EUC-JP character starts at p[0], as for WalkSjis: A1-FE before A1-FE
// (counted), SS2 8E before a half-width kana A1-DF, SS3 8F before two bytes
// A1-FE.  Any other byte >= 0x80 stands nowhere; a lead whose trail bytes are
// wrong before the data ends is impossible too.
void WalkEuc(MultiByteWalk& w, const std::uint8_t* p, std::int32_t left, bool inTriple) {
    const std::uint8_t x = p[0];
    if (x < 0x80) {
        w.aligned = true;
        return;
    }
    std::int32_t trail = 1;
    bool fits = false;
    if (EUC_BYTE.Contains(x)) {
        fits = EUC_BYTE.Contains(p[1]);
        w.pairs += fits && !inTriple ? 1 : 0;
    } else if (x == EUC_SS2) {
        fits = IsHalfWidthKana(p[1]);
    } else if (x == EUC_SS3) {
        trail = 2;
        fits = EUC_BYTE.Contains(p[1]) && EUC_BYTE.Contains(p[2]);
    } else {
        w.impossible = true;  // neither a lead nor a trail byte
        return;
    }
    if (fits) {
        w.trailBytes = trail;
    } else if (left > trail) {
        w.impossible |= w.aligned;
    }
}

// The multi-byte counts.  Shift_JIS and EUC-JP each follow their own
// alignment over every byte, so that one code's trail byte never starts a
// character of the other; but a pair that lies inside a UTF-8 triple is not
// counted: UTF-8 text read as Shift_JIS pairs up nearly every byte, so the
// triples take their bytes first.
void CountSequences(Evidence& e, const std::uint8_t* p, std::int32_t left) {
    if (IsJisEscape(p)) {
        ++e.jisEscapes;
    } else if (e.utf8Skip > 0) {
        --e.utf8Skip;
    } else if (IsUtf8Triple(p)) {
        ++e.utf8Sequences;
        e.utf8Skip = UTF8_CONTINUATIONS_COUNTED;
    }
    const bool inTriple = e.utf8Skip > 0;  // a triple goes on after p[0]
    if (e.sjis.trailBytes > 0) {
        --e.sjis.trailBytes;
    } else {
        WalkSjis(e.sjis, p, left, inTriple);
    }
    if (e.euc.trailBytes > 0) {
        --e.euc.trailBytes;
    } else {
        WalkEuc(e.euc, p, left, inTriple);
    }
}

// dataEnds: the bytes seen end where the file ends, so a shift still open
// there is never closed.
KanjiCode Decide(const Evidence& e, bool dataEnds) {
    // Marked UTF-16 (its zero units already ruled out by Scan): a high
    // surrogate may end a head that is cut, not a file.
    if (e.marked && e.unitsPair && !(e.highOpen && dataEnds)) return CODE_UNICODE;
    if (e.utf16LineEnds > 0 && !e.oddHighByte) return CODE_UNICODE;
    if (e.zeroSeen) return CODE_BINARY;
    if (e.jisEscapes > 0) return CODE_JIS;
    // Shift_JIS and EUC-JP text is almost never well-formed UTF-8 (kana leads
    // A4 A5 and Shift_JIS leads 81-9F are continuation bytes), while UTF-8
    // with only two-byte sequences (© é ²) looks like EUC-JP pairs.
    if (e.utf8Valid && e.utf8Multi > 0) return CODE_UTF8;
    const std::int32_t utf8 = e.utf8Sequences;
    if (utf8 > e.sjis.pairs && utf8 > e.euc.pairs) return CODE_UTF8;
    // A code that meets a sequence it cannot hold is ruled out when the other
    // has none.  If the ruled-out one had found more pairs, the text may mix
    // the two codes (one line pasted from another file): reading all of it in
    // the code of the few would destroy the rest, so the code stays open.
    const bool sjisOut = e.sjis.impossible && !e.euc.impossible && e.euc.pairs > 0;
    const bool eucOut = e.euc.impossible && !e.sjis.impossible && e.sjis.pairs > 0;
    if ((sjisOut && e.sjis.pairs > e.euc.pairs) || (eucOut && e.euc.pairs > e.sjis.pairs)) {
        return CODE_UNKNOWN;
    }
    const std::int32_t sjis = sjisOut ? 0 : e.sjis.pairs;
    const std::int32_t euc = eucOut ? 0 : e.euc.pairs;
    if (sjis > euc && sjis > utf8) return CODE_SJIS;
    if (euc > sjis && euc > utf8) return CODE_EUC;
    if (utf8 > 0 || sjis > 0 || euc > 0) return CODE_UNKNOWN;
    if (!e.utf7Valid) return CODE_ASCII;
    // A shift open where the data ends: never closed at the end of the file,
    // not yet judged (and counted) where the head is only cut.
    const bool open = e.inShift && e.runDigits > 0;
    if (e.inShift && dataEnds) return CODE_ASCII;
    return e.utf7Runs > 0 || open ? CODE_UTF7 : CODE_ASCII;
}

// Follows the little-endian units of marked text: surrogates only in pairs.
void TrackUnit(Evidence& e, char16_t u) {
    if (e.highOpen != IsLowSurrogate(u)) e.unitsPair = false;
    e.highOpen = IsHighSurrogate(u);
}

// Counts the evidence of bytes[0 .. count-1]; false when a zero unit at an
// even offset already makes them binary.
bool Scan(Evidence& e, const std::uint8_t* bytes, std::int32_t count) {
    e.marked = count >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
    for (std::int32_t i = 0; e.marked && i + 1 < count; i += 2) {
        TrackUnit(e, static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
    }
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint8_t x = bytes[i];
        if (x == 0) e.zeroSeen = true;
        if (i + 1 < count) {  // the pair tests of UTF-16 need a byte after x
            const std::uint8_t y = bytes[i + 1];
            const bool even = (i % 2) == 0;
            if (even && x == 0 && y == 0) return false;
            if (even) {
                if ((x == CR || x == LF) && y == 0) ++e.utf16LineEnds;
            } else if (ODD_HIGH_BYTE.Contains(x)) {
                e.oddHighByte = true;
            }
        }
        // From the first zero byte on the text can only be UTF-16 or binary.
        if (e.zeroSeen) continue;
        TrackUtf7(e, x);
        TrackUtf8(e, x, i);
        CountSequences(e, bytes + i, count - i);  // reads the zero bytes after the last one
    }
    return true;
}

// Reading on past a 7-bit head: blocks of this size, in a buffer on the stack.
constexpr std::size_t READ_ON_BLOCK_BYTES = 64 * 1024;
// Bytes at a block's end left for the next block, so that an escape sequence
// (at most four bytes) is always seen whole.
constexpr std::size_t READ_ON_KEPT_BYTES = 3;
// A window for the 8-bit text starts at most this far before its first byte.
constexpr std::size_t WINDOW_BACK_BYTES = HEAD_READ_BYTES / 2;

using ReadOnBlock = std::array<std::uint8_t, READ_ON_BLOCK_BYTES + READ_ON_KEPT_BYTES>;
static_assert(READ_ON_KEPT_BYTES >= DETECT_LOOKAHEAD_BYTES);

// True when none of the eight bytes at p is >= 0x80, zero or ESC.
bool IsPlainWord(const std::uint8_t* p) {
    const std::uint64_t w = detail::LoadWord(p);
    return (w & detail::kHighBits) == 0 && !detail::WordHasByte(w, 0) &&
           !detail::WordHasByte(w, JIS_ESC);
}

// The first byte in block[0, limit) that 7-bit text does not explain: one
// >= 0x80, a zero byte, or an ESC that opens a JIS designation; limit if none.
// ESC alone (terminal colours) is 7-bit text.  Plain words are skipped whole.
std::size_t FindNonSevenBit(const ReadOnBlock& block, std::size_t limit) {
    std::size_t i = 0;
    while (i < limit) {
        while (i + 8 <= limit && IsPlainWord(block.data() + i)) i += 8;
        for (const std::size_t end = std::min(limit, i + 8); i < end; ++i) {
            const std::uint8_t b = block[i];
            if (b >= 0x80 || b == 0) return i;
            if (b == JIS_ESC && IsJisEscape(block.data() + i)) return i;
        }
    }
    return limit;
}

// Classifies the text around block[stop], the first byte that 7-bit text does
// not explain, from the start of its line (at most WINDOW_BACK_BYTES before
// it) over at most HEAD_READ_BYTES.  block holds n bytes; more are read as
// needed.  The head before was 7-bit: it rules UTF-16 out and adds no pairs.
KanjiCode ClassifyWindow(const FileHandle& file, ReadOnBlock& block, std::size_t stop,
                         std::size_t n, bool atEnd) {
    std::size_t start = stop > WINDOW_BACK_BYTES ? stop - WINDOW_BACK_BYTES : 0;
    for (std::size_t i = stop; i > start; --i) {
        if (block[i - 1] == LF) {
            start = i;
            break;
        }
    }
    std::memmove(block.data(), block.data() + start, n - start);
    n -= start;
    if (!atEnd && n < HEAD_READ_BYTES) {
        std::error_code error;
        const std::size_t want = HEAD_READ_BYTES - n;
        const std::size_t got = file.ReadSome(block.data() + n, want, error);
        if (error) return CODE_ERROR;
        n += got;
        atEnd = got < want;
    }
    const std::size_t length = std::min(n, HEAD_READ_BYTES);
    std::fill_n(block.data() + length, DETECT_LOOKAHEAD_BYTES, 0);
    const KanjiCode code =
        DetectCode(block.data(), static_cast<std::int32_t>(length), length < n || !atEnd);
    switch (code) {
        case CODE_UNICODE: return CODE_BINARY;  // zero bytes after a 7-bit head
        case CODE_ASCII:
        case CODE_UTF7: return CODE_UNKNOWN;  // 8-bit bytes that form no pair
        default: return code;
    }
}

// The head was 7-bit (ASCII or UTF-7 by evidence e) and the file goes on:
// reads on to the first byte that 7-bit text does not explain and classifies
// the text there; at the end of the file the 7-bit result stands, UTF-7 only
// when the whole file reads as UTF-7.
KanjiCode ReadOn(const FileHandle& file, Evidence e, KanjiCode headCode) {
    if (headCode != CODE_UTF7) e.utf7Valid = false;
    ReadOnBlock block;
    std::size_t kept = 0;
    for (;;) {
        std::error_code error;
        const std::size_t want = READ_ON_BLOCK_BYTES - kept;
        const std::size_t got = file.ReadSome(block.data() + kept, want, error);
        if (error) return CODE_ERROR;
        const std::size_t n = kept + got;
        const bool atEnd = got < want;
        std::fill_n(block.data() + n, READ_ON_KEPT_BYTES, 0);  // what an escape test reads past n
        const std::size_t limit = atEnd ? n : n - READ_ON_KEPT_BYTES;
        const std::size_t stop = FindNonSevenBit(block, limit);
        if (e.utf7Valid) {
            for (std::size_t i = 0; i < stop; ++i) TrackUtf7(e, block[i]);
        }
        if (stop < limit) return ClassifyWindow(file, block, stop, n, atEnd);
        if (atEnd) return Decide(e, true);
        std::memmove(block.data(), block.data() + limit, n - limit);
        kept = n - limit;
    }
}

}  // namespace

KanjiCode DetectCode(const std::uint8_t* bytes, std::int32_t count, bool moreFollows) {
    if (count < MIN_DETECT_BYTES) return CODE_UNKNOWN;
    Evidence e;
    if (!Scan(e, bytes, count)) return CODE_BINARY;
    return Decide(e, !moreFollows);
}

KanjiCode DetectCode(const std::uint8_t* bytes, std::int32_t count) {
    return DetectCode(bytes, count, count >= static_cast<std::int32_t>(HEAD_READ_BYTES));
}

KanjiCode DetectOpenFileCode(CodeConverter& converter, const FileHandle& file) {
    converter.ReleaseHeadBuffer();
    std::error_code error;
    const std::size_t length = file.ReadSome(converter.headBuffer.data(), HEAD_READ_BYTES, error);
    if (error) {
        converter.ReleaseHeadBuffer();
        return CODE_ERROR;
    }
    converter.headLength = static_cast<std::uint32_t>(length);
    const std::uint8_t* head = converter.headBuffer.data();
    const auto count = static_cast<std::int32_t>(length);
    const bool cut = length == HEAD_READ_BYTES;
    if (count < MIN_DETECT_BYTES) return CODE_UNKNOWN;
    Evidence e;
    if (!Scan(e, head, count)) return CODE_BINARY;
    const KanjiCode code = Decide(e, !cut);
    if (!cut || (code != CODE_ASCII && code != CODE_UTF7)) return code;
    return ReadOn(file, e, code);
}

KanjiCode DetectFileCode(CodeConverter& converter, const std::filesystem::path& path) {
    converter.ReleaseHeadBuffer();
    std::error_code error;
    const FileHandle file = FileHandle::OpenForReading(path, error);
    if (!file.IsOpen()) return CODE_ERROR;
    return DetectOpenFileCode(converter, file);
}

}  // namespace ruv
