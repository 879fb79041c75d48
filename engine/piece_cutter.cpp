#include "engine/piece_cutter.h"

#include <algorithm>
#include <cstring>

#include "engine/jis_escapes.h"
#include "engine/sjis_primitives.h"
#include "engine/utf7_codec.h"
#include "engine/utf8_codec.h"
#include "platform/byte_words.h"
#include "platform/utf16_units.h"

namespace ruv {
namespace {

using Carry = PieceCutter::Carry;

constexpr std::uint8_t CR = 0x0D;
constexpr std::uint8_t LF = 0x0A;

// Bytes of 16 bits kept per UTF-7 group: eight base64 digits hold exactly three
// units, so a run may be cut (and reopened with "+") after every eighth digit.
constexpr std::uint32_t UTF7_DIGITS_PER_GROUP = 8;

// What the scan knows of the source's decoder at a position.
struct ScanState {
    Carry mode = Carry::None;     // ISO-2022-JP designation, or a UTF-7 run
    std::uint32_t runDigits = 0;  // UTF-7: base64 digits since the run opened
    std::uint32_t runBits = 0;    // UTF-7: the run's bits not yet in a whole unit
    char16_t lastUnit = 0;        // UTF-7: the last whole unit of the run
    bool pairOpen = false;        // UTF-7: a run closed on a high surrogate, "+" next
};

// The shift state a designation leaves open, and the mode a carried state reopens.
Carry CarryOf(JisMode mode) {
    switch (mode) {
        case JisMode::Kanji: return Carry::JisKanji;
        case JisMode::Supplementary: return Carry::JisSupplementary;
        case JisMode::Katakana: return Carry::JisKatakana;
        case JisMode::Roman: return Carry::JisRoman;
        default: return Carry::None;
    }
}
JisMode ModeOf(Carry carry) {
    switch (carry) {
        case Carry::JisKanji: return JisMode::Kanji;
        case Carry::JisSupplementary: return JisMode::Supplementary;
        case Carry::JisKatakana: return JisMode::Katakana;
        case Carry::JisRoman: return JisMode::Roman;
        default: return JisMode::Ascii;
    }
}

// An ISO-2022-JP character or escape at p, as the decoder reads it.
std::size_t JisCharLength(const std::uint8_t* p, std::size_t avail, ScanState& s) {
    const std::uint8_t b = p[0];
    if (b == JIS_ESC) {
        JisMode mode = JisMode::Ascii;
        const std::int32_t n = ReadJisEscape(p, mode, avail);
        if (n == 0) return 1;
        s.mode = CarryOf(mode);
        return static_cast<std::size_t>(n);
    }
    if (b == JIS_SI && s.mode == Carry::JisKatakana) {
        s.mode = Carry::JisRoman;
        return 1;
    }
    if (b == JIS_SO && s.mode == Carry::JisRoman) {
        s.mode = Carry::JisKatakana;
        return 1;
    }
    const bool pairs = s.mode == Carry::JisKanji || s.mode == Carry::JisSupplementary;
    return pairs && IsJisPairByte(b) ? 2 : 1;
}

// How a UTF-7 run goes on at p, after a digit: 0 when p holds the next digit,
// 2 when it holds "-+" and a digit (a run closed and opened again at once),
// -1 when the run ends at p.
std::int32_t RunGoesOn(const std::uint8_t* p, std::size_t avail) {
    if (avail >= 1 && IsUtf7Digit(p[0])) return 0;
    if (avail >= 3 && p[0] == '-' && p[1] == '+' && IsUtf7Digit(p[2])) return 2;
    return -1;
}

// A UTF-7 character at p, as the decoder reads it: inside a run every base64
// digit is one step; "+-" outside a run is one character.  The decoder joins
// a high surrogate that ends a run to a low one that opens the next, so the
// "-+" between them is marked as no place for a cut.
std::size_t Utf7CharLength(const std::uint8_t* p, std::size_t avail, ScanState& s) {
    const std::uint8_t b = p[0];
    if (s.mode == Carry::Utf7Run) {
        if (IsUtf7Digit(b)) {
            ++s.runDigits;
            s.runBits = (s.runBits << 6) | Utf7DigitValue[b];
            const std::uint32_t pending = (s.runDigits * 6) % 16;  // bits past the last unit
            if (pending < 6) {
                s.lastUnit = static_cast<char16_t>(s.runBits >> pending);
                s.runBits &= (1u << pending) - 1;
                s.pairOpen = false;
            }
            return 1;
        }
        s.mode = Carry::None;  // "-" ends the run; any other byte is read as text
        if (b == '-') {
            s.pairOpen = IsHighSurrogate(s.lastUnit) && RunGoesOn(p, avail) == 2;
            return 1;
        }
    }
    if (b == '+' && !(avail >= 2 && p[1] == '-')) {
        s.mode = Carry::Utf7Run;
        s.runDigits = 0;
        s.runBits = 0;
        return 1;
    }
    s.lastUnit = b;  // a byte outside a run is a unit of its own
    return b == '+' ? 2 : 1;
}

// The unit that starts at p, read from three digits: those of the run where p
// ends a group (after a "-+" that goes on with it), or of a run that "+" opens
// at p; 0 where none starts.
char16_t Utf7UnitAt(const std::uint8_t* p, std::size_t avail, const ScanState& s) {
    std::size_t at = 0;
    if (s.mode == Carry::Utf7Run) {
        if (s.runDigits % UTF7_DIGITS_PER_GROUP != 0) return 0;
        if (RunGoesOn(p, avail) == 2) at = 2;
    } else if (p[0] == '+') {
        at = 1;
    } else {
        return 0;
    }
    if (avail < at + 3) return 0;
    if (!IsUtf7Digit(p[at]) || !IsUtf7Digit(p[at + 1]) || !IsUtf7Digit(p[at + 2])) return 0;
    return static_cast<char16_t>(Utf7DigitValue[p[at]] << 10 | Utf7DigitValue[p[at + 1]] << 4 |
                                 Utf7DigitValue[p[at + 2]] >> 2);
}

// The JIS X 0201 byte of a half-width katakana unit (U+FF61-U+FF9F), else 0.
constexpr std::uint8_t KanaOfUnit(char32_t u) {
    return u >= 0xFF61 && u <= 0xFF9F ? static_cast<std::uint8_t>(u - 0xFEC0) : 0;
}

// Folding joins a half-width katakana and the sound mark after it (ﾞ DE or
// ﾟ DF) into one full-width character, in every source code alike, so no cut
// falls between them.  kana and next are JIS X 0201 bytes (0 for no kana); a
// sound mark joins no sound mark after it.
constexpr bool JoinsSoundMark(std::uint8_t kana, std::uint8_t next) {
    return IsHalfWidthKana(kana) && kana < 0xDE && (next == 0xDE || next == 0xDF);
}

// The half-width katakana, as its JIS X 0201 byte, that the character at p
// reads as in the source code; 0 for any other.  For UTF-7, the unit that
// starts at p (Utf7UnitAt).
std::uint8_t KanaAt(KanjiCode code, const std::uint8_t* p, std::size_t avail, const ScanState& s) {
    const std::uint8_t b = p[0];
    const auto continuation = [](std::uint8_t c) { return (c & 0xC0) == 0x80; };
    switch (code) {
        case CODE_SJIS: return IsHalfWidthKana(b) ? b : 0;
        case CODE_EUC:  // SS2 and the kana byte
            return b == 0x8E && avail >= 2 && IsHalfWidthKana(p[1]) ? p[1] : 0;
        case CODE_UTF8:
            if (avail < 3 || (b & 0xF0) != 0xE0) return 0;
            if (!continuation(p[1]) || !continuation(p[2])) return 0;
            return KanaOfUnit((b & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu));
        case CODE_JIS:  // 8-bit katakana in any mode, 21-5F after ESC ( I or SO
            if (IsHalfWidthKana(b)) return b;
            return s.mode == Carry::JisKatakana && b >= 0x21 && b <= 0x5F ? b | 0x80 : 0;
        case CODE_UTF7: return KanaOfUnit(Utf7UnitAt(p, avail, s));
        default: return 0;
    }
}

// Bytes of the character that starts at p in the source code.
std::size_t CharLength(KanjiCode code, const std::uint8_t* p, std::size_t avail, ScanState& s) {
    const std::uint8_t b = p[0];
    switch (code) {
        case CODE_SJIS: return IsSjisLeadByte(b) ? 2 : 1;
        case CODE_EUC:
            if (b == 0x8F) return 3;               // SS3 and a JIS X 0212 pair
            if (b == 0x8E || b >= 0xA1) return 2;  // SS2 and a kana, or a JIS X 0208 pair
            return 1;
        case CODE_UTF8: return static_cast<std::size_t>(Utf8SequenceLength(b));
        case CODE_JIS: return JisCharLength(p, avail, s);
        case CODE_UTF7: return Utf7CharLength(p, avail, s);
        default: return 1;
    }
}

// A cut inside a UTF-7 run must fall on a whole group of three units, and
// never right after the "+" that opens it: a piece ending in a bare "+" reads
// as a malformed run.  A cut between two runs that a surrogate pair spans is
// taken only where no other fits.
bool IsCuttable(const ScanState& s, bool keepPairs) {
    if (s.mode != Carry::Utf7Run) return !(keepPairs && s.pairOpen);
    return s.runDigits > 0 && s.runDigits % UTF7_DIGITS_PER_GROUP == 0;
}

// Writes the bytes that reopen a carried shift state; returns their count.  A
// high surrogate held back from the last piece opens the run on its own and
// closes it ("+" three digits "-"), and a new run starts where the source's
// digits go on: the decoder joins it to the low unit that comes next.
std::size_t WriteCarry(Carry carry, char16_t heldHigh, std::uint8_t* out) {
    std::size_t n = 0;
    if (carry == Carry::Utf7Run) {
        out[n++] = '+';
    } else if (carry != Carry::None) {
        const JisEscape& e = JisEscapeFor(ModeOf(carry));
        std::memcpy(out, e.bytes, e.length);
        n = e.length;
    }
    if (carry == Carry::Utf7Run && heldHigh != 0) {
        out[n++] = static_cast<std::uint8_t>(Utf7Alphabet[heldHigh >> 10]);
        out[n++] = static_cast<std::uint8_t>(Utf7Alphabet[(heldHigh >> 4) & 0x3F]);
        out[n++] = static_cast<std::uint8_t>(Utf7Alphabet[(heldHigh << 2) & 0x3F]);
        out[n++] = '-';
        out[n++] = '+';
    }
    return n;
}

}  // namespace

Piece PieceCutter::Next(const std::uint8_t* data, std::size_t available, bool atEnd,
                        LineBuffer& line) {
    return source_ == CODE_UNICODE ? NextUnits(data, available, atEnd, line)
                                   : NextBytes(data, available, atEnd, line);
}

namespace {

// The last position at most MAX_LINE_BYTES into data where a cut keeps every
// character and escape whole and every half-width katakana with its sound
// mark, and the decoder's state there.  Only lines longer than the limit need
// it, so the scan starts over from the piece's start.
std::size_t LastCut(KanjiCode code, const std::uint8_t* data, std::size_t available,
                    ScanState& state) {
    const std::size_t limit = static_cast<std::size_t>(MAX_LINE_BYTES);
    std::size_t cut = 0, anyCut = 0;
    ScanState stateAtCut = state, stateAtAnyCut = state;
    std::uint8_t kanaBefore = 0;  // the character before i, when a half-width katakana
    for (std::size_t i = 0; i <= limit;) {
        const std::uint8_t kana = KanaAt(code, data + i, available - i, state);
        if (code == CODE_UTF7) kanaBefore = KanaOfUnit(state.lastUnit);
        if (IsCuttable(state, true) && !JoinsSoundMark(kanaBefore, kana)) {
            cut = i;
            stateAtCut = state;
        } else if (IsCuttable(state, false)) {
            anyCut = i;
            stateAtAnyCut = state;
        }
        if (i == limit) break;
        i += CharLength(code, data + i, available - i, state);
        kanaBefore = kana;
    }
    if (cut == 0 && anyCut > 0) {  // every cut parts a pair: one of them is lost
        cut = anyCut;
        stateAtCut = stateAtAnyCut;
    }
    state = stateAtCut;
    return cut > 0 ? cut : limit;  // no whole character fits: cut at the limit
}

}  // namespace

Piece PieceCutter::NextBytes(const std::uint8_t* data, std::size_t available, bool atEnd,
                             LineBuffer& line) {
    (void)atEnd;  // without more data the piece simply ends with it
    std::uint8_t* out = AsBytes(line);
    const std::size_t prefix = WriteCarry(carry_, heldHigh_, out);
    ScanState state{carry_, 0};
    carry_ = Carry::None;
    heldHigh_ = 0;

    // The bytes up to the first CR or LF, or all the window (a cut in it then
    // ends the piece sooner).
    const std::size_t window = std::min(available, static_cast<std::size_t>(MAX_LINE_BYTES));
    const std::size_t lineEnd = detail::CopyThroughLineEnd(out + prefix, data, window);
    std::size_t end = window;
    const bool atLineEnd = lineEnd < window;
    const bool atLimit = !atLineEnd && available > window;
    if (atLineEnd) end = lineEnd + 1;
    if (atLimit) end = LastCut(source_, data, available, state);
    out[prefix + end] = 0;
    Piece piece{end};
    if (atLineEnd) piece.lineEnd = LineEnd::Lf;
    if (atLineEnd && data[end - 1] == CR) {
        out[prefix + end - 1] = LF;
        piece.lineEnd = LineEnd::Cr;
        if (end < available && data[end] == LF) {  // CR LF is one line end
            ++piece.consumed;
            piece.lineEnd = LineEnd::CrLf;
        }
    }
    if (atLimit && state.mode == Carry::Utf7Run) {
        const std::int32_t reopening = RunGoesOn(data + end, available - end);
        if (reopening < 0) {
            // A run that ends right at the cut needs no reopening: its "-" is
            // taken with this piece, which the terminator closes just the same;
            // any other byte is text of the next piece.
            if (end < available && data[end] == '-') ++piece.consumed;
            return piece;
        }
        carry_ = Carry::Utf7Run;
        piece.consumed += static_cast<std::size_t>(reopening);  // a "-+" goes with the cut
        if (IsHighSurrogate(state.lastUnit)) {
            // The low unit that may pair with it is on the other side of the
            // cut.  This piece ends after the group's first two units (six
            // digits, the last with its four bits of the third unit cleared),
            // and the high unit goes into the next piece with its partner.
            heldHigh_ = state.lastUnit;
            const std::uint8_t sixth = Utf7DigitValue[data[end - 3]];
            out[prefix + end - 3] = static_cast<std::uint8_t>(Utf7Alphabet[sixth & 0x30]);
            out[prefix + end - 2] = 0;
        }
    } else if (atLimit) {
        carry_ = state.mode;
    }
    return piece;
}

Piece PieceCutter::NextUnits(const std::uint8_t* data, std::size_t available, bool atEnd,
                             LineBuffer& line) {
    constexpr std::size_t maxUnits = MAX_LINE_BYTES / 2;
    const std::size_t whole = available / 2;
    const std::size_t window = std::min(whole, maxUnits);
    // Little-endian units into the line, up to and with the first CR or LF.
    const std::size_t lineEndAt = detail::UnitIndex(data, window, LF, CR, line.data());
    const bool atLineEnd = lineEndAt < window;
    std::size_t end = atLineEnd ? lineEndAt + 1 : window;
    std::size_t consumed = end * 2;
    LineEnd lineEnd = atLineEnd ? LineEnd::Lf : LineEnd::None;
    if (atLineEnd) {
        if (line[end - 1] == CR) {
            line[end - 1] = LF;
            lineEnd = LineEnd::Cr;
            // CR LF is one line end; an odd last byte 0A counts as that LF too.
            if (end < whole && data[2 * end] == LF && data[2 * end + 1] == 0) {
                consumed += 2;
                lineEnd = LineEnd::CrLf;
            } else if (atEnd && end == whole && available % 2 != 0 && data[2 * end] == LF) {
                consumed += 1;
                lineEnd = LineEnd::CrLf;
            }
        }
    } else if (window == maxUnits && whole > maxUnits) {
        // Keep a surrogate pair together, and a half-width katakana with its sound mark.
        const char16_t last = line[end - 1];
        const char16_t next = static_cast<char16_t>(data[2 * end] | (data[2 * end + 1] << 8));
        if ((IsHighSurrogate(last) && IsLowSurrogate(next)) ||
            JoinsSoundMark(KanaOfUnit(last), KanaOfUnit(next))) {
            --end;
        }
        consumed = end * 2;
    } else if (atEnd && window == whole && available % 2 != 0 && window < maxUnits) {
        // An odd byte at the very end of the data is kept as a unit of its own value.
        line[end++] = data[available - 1];
        if (line[end - 1] == CR) {
            line[end - 1] = LF;
            lineEnd = LineEnd::Cr;
        }
        consumed = available;
    }
    line[end] = 0;
    return Piece{consumed, lineEnd};
}

}  // namespace ruv
