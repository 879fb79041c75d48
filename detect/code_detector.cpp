#include "detect/code_detector.h"

#include <system_error>

#include "engine/utf7_codec.h"
#include "platform/file_handle.h"

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
constexpr std::uint8_t ESC = 0x1B;
constexpr std::uint8_t UTF7_SHIFT_START = '+';
constexpr std::uint8_t UTF7_SHIFT_END = '-';

// At an odd offset, a byte in this range would be a UTF-16 high byte outside the
// Japanese blocks (Yi, Hangul, surrogates, private use); far more often it is
// part of 8-bit text, so it rules UTF-16 out.
constexpr ByteRange ODD_HIGH_BYTE{0xA0, 0xF7};

// Two-byte JIS designations: ESC $ @, ESC $ B, ESC $ ( O, ESC $ ( P.
constexpr std::uint8_t JIS_TWO_BYTE_SET = '$';
constexpr std::uint8_t JIS_X0208_1978 = '@';
constexpr std::uint8_t JIS_X0208_1983 = 'B';
constexpr std::uint8_t JIS_MULTI_SET_PREFIX = '(';
constexpr std::uint8_t JIS_X0213_PLANE1 = 'O';
constexpr std::uint8_t JIS_X0213_PLANE2 = 'P';

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

constexpr ByteRange SJIS_LEAD_LOW{0x81, 0x9F};
constexpr ByteRange SJIS_LEAD_HIGH{0xE0, 0xFC};
constexpr ByteRange SJIS_TRAIL_LOW{0x40, 0x7E};
constexpr ByteRange SJIS_TRAIL_HIGH{0x80, 0xFC};
constexpr ByteRange EUC_BYTE{0xA1, 0xFE};

struct Evidence {
    std::int32_t utf16LineEnds = 0;
    bool oddHighByte = false;
    bool zeroSeen = false;
    bool utf7Valid = true;
    bool inShift = false;
    std::int32_t jisEscapes = 0;
    std::int32_t utf8Sequences = 0;
    std::int32_t utf8Skip = 0;
    std::int32_t sjisPairs = 0;
    bool sjisTrailNext = false;
    std::int32_t eucPairs = 0;
    bool eucTrailNext = false;
};

// True for a byte that the UTF-7 decoder accepts outside a shift.
bool IsUtf7PlainByte(std::uint8_t b) { return b < 0x80 && Utf7CharClass[b] != UTF7_ENCODED; }

// A shift runs from "+" to the next "-" and holds only base64 digits; outside
// a shift only bytes that the decoder accepts may stand. Once false, false.
void TrackUtf7(Evidence& e, std::uint8_t x) {
    if (!e.utf7Valid) return;
    if (!e.inShift) {
        if (x == UTF7_SHIFT_START) {
            e.inShift = true;
        } else {
            e.utf7Valid = IsUtf7PlainByte(x);
        }
    } else if (x == UTF7_SHIFT_END) {
        e.inShift = false;
    } else {
        e.utf7Valid = IsUtf7Digit(x);
    }
}

// p[0] is ESC; reads at most p[3], and p[3] only when p[2] is "(".
bool IsJisTwoByteDesignation(const std::uint8_t* p) {
    if (p[0] != ESC || p[1] != JIS_TWO_BYTE_SET) return false;
    if (p[2] == JIS_X0208_1978 || p[2] == JIS_X0208_1983) return true;
    return p[2] == JIS_MULTI_SET_PREFIX && (p[3] == JIS_X0213_PLANE1 || p[3] == JIS_X0213_PLANE2);
}

bool IsUtf8Triple(const std::uint8_t* p) {
    return (p[0] & UTF8_LEAD_TOP_BITS) == UTF8_LEAD_BITS &&
           (p[1] & UTF8_TOP_BITS) == UTF8_CONTINUATION_BITS &&
           (p[2] & UTF8_TOP_BITS) == UTF8_CONTINUATION_BITS;
}

bool IsSjisPair(std::uint8_t x, std::uint8_t y) {
    return (SJIS_LEAD_LOW.Contains(x) || SJIS_LEAD_HIGH.Contains(x)) &&
           (SJIS_TRAIL_LOW.Contains(y) || SJIS_TRAIL_HIGH.Contains(y));
}

// The multi-byte counts, in order of precedence: a byte that one test has
// taken is not looked at by the later ones.
void CountSequences(Evidence& e, const std::uint8_t* p) {
    if (IsJisTwoByteDesignation(p)) {
        ++e.jisEscapes;
        return;
    }
    if (e.utf8Skip > 0) {
        --e.utf8Skip;
        return;
    }
    if (IsUtf8Triple(p)) {
        ++e.utf8Sequences;
        e.utf8Skip = UTF8_CONTINUATIONS_COUNTED;
        return;
    }
    if (e.sjisTrailNext) {
        e.sjisTrailNext = false;
        return;
    }
    if (IsSjisPair(p[0], p[1])) {
        ++e.sjisPairs;
        e.sjisTrailNext = true;
        return;
    }
    if (e.eucTrailNext) {
        e.eucTrailNext = false;
        return;
    }
    if (EUC_BYTE.Contains(p[0]) && EUC_BYTE.Contains(p[1])) {
        ++e.eucPairs;
        e.eucTrailNext = true;
    }
}

KanjiCode Decide(const Evidence& e) {
    if (e.utf16LineEnds > 0 && !e.oddHighByte) return CODE_UNICODE;
    if (e.zeroSeen) return CODE_BINARY;
    if (e.jisEscapes > 0) return CODE_JIS;
    const std::int32_t utf8 = e.utf8Sequences;
    const std::int32_t sjis = e.sjisPairs;
    const std::int32_t euc = e.eucPairs;
    if (utf8 > sjis && utf8 > euc) return CODE_UTF8;
    if (sjis > euc && sjis > utf8) return CODE_SJIS;
    if (euc > sjis && euc > utf8) return CODE_EUC;
    if (utf8 > 0 || sjis > 0 || euc > 0) return CODE_UNKNOWN;
    if (e.utf7Valid) return CODE_UTF7;
    return CODE_ASCII;
}

}  // namespace

KanjiCode DetectCode(const std::uint8_t* bytes, std::int32_t count) {
    if (count < MIN_DETECT_BYTES) return CODE_UNKNOWN;
    Evidence e;
    // Every byte but the last; the tests look at up to three bytes after it.
    for (std::int32_t i = 0; i + 1 < count; ++i) {
        const std::uint8_t x = bytes[i];
        const std::uint8_t y = bytes[i + 1];
        const bool even = (i % 2) == 0;
        if (even && x == 0 && y == 0) return CODE_BINARY;
        if (x == 0) e.zeroSeen = true;
        if (even) {
            if ((x == CR || x == LF) && y == 0) ++e.utf16LineEnds;
        } else if (ODD_HIGH_BYTE.Contains(x)) {
            e.oddHighByte = true;
        }
        // From the first zero byte on the text can only be UTF-16 or binary.
        if (e.zeroSeen) continue;
        TrackUtf7(e, x);
        CountSequences(e, bytes + i);
    }
    return Decide(e);
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
    return DetectCode(converter.headBuffer.data(), static_cast<std::int32_t>(length));
}

KanjiCode DetectFileCode(CodeConverter& converter, const std::filesystem::path& path) {
    converter.ReleaseHeadBuffer();
    std::error_code error;
    const FileHandle file = FileHandle::OpenForReading(path, error);
    if (!file.IsOpen()) return CODE_ERROR;
    return DetectOpenFileCode(converter, file);
}

}  // namespace ruv
