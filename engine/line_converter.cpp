#include "engine/line_converter.h"

#include <cstring>

#include "engine/direct_roads.h"
#include "engine/euc_codec.h"
#include "engine/jis_codec.h"
#include "engine/sjis_primitives.h"
#include "engine/utf7_codec.h"
#include "engine/utf7_roads.h"
#include "engine/utf8_codec.h"
#include "platform/byte_words.h"
#include "platform/utf16_units.h"

namespace ruv {
namespace {

// Capacities handed to the codecs.  Byte output leaves room in the 4096-byte
// buffer for the CR LF rewrite and the terminator; UTF-16 output is counted in
// units of the same buffer, which the rewrite may grow by one unit before the
// terminator.  Intermediates are 4096-byte stack buffers of their own.
constexpr std::int32_t BYTE_OUTPUT_CAPACITY = 4000;
constexpr std::int32_t UNIT_OUTPUT_CAPACITY =
    static_cast<std::int32_t>(CONVERTED_BUFFER_BYTES / 2) - 1;
constexpr std::int32_t WIDE_TEMP_CAPACITY = 2000;         // UTF-16 between two steps
constexpr std::int32_t DIRECT_FROM_WIDE_CAPACITY = 2000;  // UTF-8/UTF-7 straight from UTF-16
constexpr std::int32_t SJIS_TEMP_CAPACITY = 4000;         // Shift_JIS between two steps

using WideTemp = std::array<char16_t, 2048>;
using SjisTemp = std::array<std::uint8_t, 4096>;
static_assert(WIDE_TEMP_CAPACITY <= static_cast<std::int32_t>(WideTemp{}.size()));
static_assert(SJIS_TEMP_CAPACITY <= static_cast<std::int32_t>(SjisTemp{}.size()));
static_assert(BYTE_OUTPUT_CAPACITY + 2 <= static_cast<std::int32_t>(CONVERTED_BUFFER_BYTES));

// A piece decodes to no more Shift_JIS than it has bytes, so the middle step of
// a road from EUC-JP or JIS never fails; only the encoding step can.  A direct
// road, which has no middle step, therefore fails exactly where the two steps do.
static_assert(static_cast<std::int32_t>(LINE_BUFFER_BYTES) <= SJIS_TEMP_CAPACITY);

constexpr char16_t CR = 0x0D;
constexpr char16_t LF = 0x0A;

char16_t* Units(ConvertedBuffer& output) { return output.data(); }

// Copies a terminated byte text with its terminator; returns its length.
std::int32_t CopyBytes(std::uint8_t* out, const std::uint8_t* text) {
    const std::size_t n = std::strlen(reinterpret_cast<const char*>(text));
    std::memcpy(out, text, n + 1);
    return static_cast<std::int32_t>(n);
}

// Copies terminated UTF-16 with its terminator, a lone surrogate as "?"
// (counted into lost); returns its length in units.
std::int32_t CopyUnits(char16_t* out, const char16_t* text, LostCount& lost) {
    const char16_t* const end = detail::UnitTextEnd(text);
    const auto n = static_cast<std::int32_t>(end - text);
    std::memcpy(out, text, (static_cast<std::size_t>(n) + 1) * sizeof(char16_t));
    // Only surrogates can be lone: the scan skips from one to the next.
    for (std::int32_t i = detail::SurrogateFreeLength(out, out + n); i < n;
         i += 1 + detail::SurrogateFreeLength(out + i + 1, out + n)) {
        if (!IsLoneSurrogateAt(out, static_cast<std::size_t>(i))) continue;
        out[i] = LONE_SURROGATE_REPLACEMENT;
        ++lost.broken;
    }
    return n;
}

// True for the targets reached from Shift_JIS through code page 932's decoder.
bool IsUnicodeTarget(KanjiCode target) {
    return target == CODE_UNICODE || target == CODE_UTF8 || target == CODE_UTF7;
}

// True when the terminated text holds a byte >= 0x80.
bool HasEightBitByte(const std::uint8_t* text) {
    for (; *text != 0; ++text) {
        if (*text >= 0x80) return true;
    }
    return false;
}

// True for text of 7-bit bytes without an escape (which could open a shift).
bool IsPlainSevenBit(const std::uint8_t* text) {
    for (; *text != 0; ++text) {
        if (*text >= 0x80 || *text == 0x1B) return false;
    }
    return true;
}

// Doubles a unit count into a byte count, keeping -1.
std::int32_t UnitsToBytes(std::int32_t units) { return units < 0 ? -1 : units * 2; }

// The single-pass road for a clean piece (the same bytes as the road through
// Shift_JIS; see direct_roads.h), or DIRECT_ROAD_DECLINED.
std::int32_t DirectRoad(ConvertedBuffer& output, const std::uint8_t* text, KanjiCode source,
                        KanjiCode target, bool fold) {
    std::uint8_t* out = AsBytes(output);
    const bool fromEuc = source == CODE_EUC;
    if (fromEuc || source == CODE_JIS) {
        switch (target) {
            case CODE_EUC:
                return fromEuc ? EucToEucDirect(out, text, BYTE_OUTPUT_CAPACITY)
                               : JisToEucDirect(out, text, BYTE_OUTPUT_CAPACITY);
            case CODE_JIS:
                return fromEuc ? EucToJisDirect(out, text, BYTE_OUTPUT_CAPACITY)
                               : JisToJisDirect(out, text, BYTE_OUTPUT_CAPACITY);
            case CODE_UTF8:
                return fromEuc ? EucToUtf8Direct(out, text, BYTE_OUTPUT_CAPACITY)
                               : JisToUtf8Direct(out, text, BYTE_OUTPUT_CAPACITY);
            case CODE_UNICODE: {
                const std::int32_t n =
                    fromEuc ? EucToUtf16Direct(Units(output), text, WIDE_TEMP_CAPACITY)
                            : JisToUtf16Direct(Units(output), text, WIDE_TEMP_CAPACITY);
                return n == DIRECT_ROAD_DECLINED ? n : n * 2;
            }
            case CODE_UTF7: {  // the same units as the road through Shift_JIS, encoded
                WideTemp wide;
                const std::int32_t n =
                    fromEuc ? EucToUtf16Direct(wide.data(), text, WIDE_TEMP_CAPACITY)
                            : JisToUtf16Direct(wide.data(), text, WIDE_TEMP_CAPACITY);
                if (n == DIRECT_ROAD_DECLINED) return n;
                return WideToUtf7TextOfLength(out, wide.data(), n, BYTE_OUTPUT_CAPACITY);
            }
            default: return DIRECT_ROAD_DECLINED;
        }
    }
    if (source == CODE_UTF8) {
        if (target == CODE_SJIS && !fold) return Utf8ToSjisDirect(out, text, BYTE_OUTPUT_CAPACITY);
        if (target == CODE_EUC) return Utf8ToEucDirect(out, text, BYTE_OUTPUT_CAPACITY);
        if (target == CODE_JIS) return Utf8ToJisDirect(out, text, BYTE_OUTPUT_CAPACITY);
    }
    return DIRECT_ROAD_DECLINED;
}

// The single-pass road from UTF-16 for a clean piece, or DIRECT_ROAD_DECLINED.
std::int32_t DirectRoadFromUnits(ConvertedBuffer& output, const char16_t* text, KanjiCode target) {
    if (target == CODE_EUC) return Utf16ToEucDirect(AsBytes(output), text, BYTE_OUTPUT_CAPACITY);
    if (target == CODE_JIS) return Utf16ToJisDirect(AsBytes(output), text, BYTE_OUTPUT_CAPACITY);
    return DIRECT_ROAD_DECLINED;
}

// Rewrites a final line feed of n bytes of output by the newline choice.
std::int32_t RewriteLineEnd(ConvertedBuffer& output, std::int32_t n, bool wide, Newline newline) {
    if (n <= 0 || newline == Newline::Lf || newline == Newline::Keep) return n;
    if (wide) {
        char16_t* units = Units(output);
        const std::int32_t last = n / 2 - 1;
        if (units[last] != LF) return n;
        units[last] = CR;
        if (newline != Newline::Crlf) return n;
        units[last + 1] = LF;
        units[last + 2] = 0;
        return n + 2;
    }
    std::uint8_t* bytes = AsBytes(output);
    if (bytes[n - 1] != LF) return n;
    bytes[n - 1] = CR;
    if (newline != Newline::Crlf) return n;
    bytes[n] = LF;
    bytes[n + 1] = 0;
    return n + 1;
}

}  // namespace

std::int32_t CodeConverter::ConvertLine(ConvertedBuffer& output, const LineBuffer& line,
                                        const ConversionOptions& options) {
    const KanjiCode source = options.source, target = options.target;
    foldHalfWidthKana = options.foldHalfWidthKana;
    if (!IsTargetCode(target)) return -1;
    const std::uint8_t* bytes = AsBytes(line);
    std::int32_t n = -1;
    switch (source) {
        case CODE_ASCII:
            // 7-bit text is the same in every byte code but UTF-7, where "+",
            // "\" and "~" must be encoded; UTF-16 widens each byte.  A byte
            // >= 0x80 means the text is in some other code: copying it would
            // leave the file in that code under a new name, so it is refused.
            if (HasEightBitByte(bytes)) return -1;
            if (target == CODE_UNICODE || target == CODE_UTF7) {
                n = ConvertFromSjis(output, bytes, target);
            } else {
                n = CopyBytes(AsBytes(output), bytes);
            }
            break;
        case CODE_SJIS: n = ConvertFromSjis(output, bytes, target); break;
        case CODE_JIS:
        case CODE_EUC:
            // Clean text skips the Shift_JIS step.
            n = DirectRoad(output, bytes, source, target, options.foldHalfWidthKana);
            if (n != DIRECT_ROAD_DECLINED) break;
            n = source == CODE_JIS ? ConvertFromJis(output, bytes, target)
                                   : ConvertFromEuc(output, bytes, target);
            break;
        case CODE_UNICODE:
            n = DirectRoadFromUnits(output, line.data(), target);
            if (n == DIRECT_ROAD_DECLINED) n = ConvertFromUnicode(output, line.data(), target);
            break;
        case CODE_UTF8:
            n = DirectRoad(output, bytes, source, target, options.foldHalfWidthKana);
            if (n == DIRECT_ROAD_DECLINED) n = ConvertFromUtf8(output, bytes, target);
            break;
        case CODE_UTF7: n = ConvertFromUtf7(output, bytes, target); break;
        case CODE_UNKNOWN: {
            // Undecided text: a plain 7-bit line reads the same in every byte
            // code, so it takes the 7-bit road; any other line has no road.
            if (!IsPlainSevenBit(bytes)) return -1;
            ConversionOptions sevenBit = options;
            sevenBit.source = CODE_ASCII;
            return ConvertLine(output, line, sevenBit);
        }
        default: return -1;  // no road: refusing leaves the file as it is
    }
    if (n < 0) return -1;
    return RewriteLineEnd(output, n, target == CODE_UNICODE, options.newline);
}

std::int32_t CodeConverter::ConvertFromSjis(ConvertedBuffer& output, const std::uint8_t* text,
                                            KanjiCode target) {
    std::uint8_t* out = AsBytes(output);
    switch (target) {
        case CODE_JIS: return SjisToJisText(out, text, BYTE_OUTPUT_CAPACITY, &lost);
        case CODE_SJIS:
            return foldHalfWidthKana ? SjisToSjisText(out, text, BYTE_OUTPUT_CAPACITY)
                                     : CopyBytes(out, text);
        case CODE_EUC: return SjisToEucText(out, text, BYTE_OUTPUT_CAPACITY, &lost);
        case CODE_UNICODE:
            return UnitsToBytes(AnsiToWide(Units(output), text, WIDE_TEMP_CAPACITY, &lost));
        case CODE_UTF8: return AnsiToUtf8(out, text, BYTE_OUTPUT_CAPACITY, &lost);  // one pass
        case CODE_UTF7: {
            WideTemp wide;
            const std::int32_t units = AnsiToWide(wide.data(), text, WIDE_TEMP_CAPACITY, &lost);
            if (units < 0) return -1;
            return WideToUtf7TextOfLength(out, wide.data(), units, BYTE_OUTPUT_CAPACITY);
        }
        default: return -1;
    }
}

std::int32_t CodeConverter::ConvertFromJis(ConvertedBuffer& output, const std::uint8_t* text,
                                           KanjiCode target) {
    // To Shift_JIS without folding the decoder writes the output itself: the
    // copy it saves has no capacity of its own.
    static_assert(SJIS_TEMP_CAPACITY == BYTE_OUTPUT_CAPACITY);
    if (target == CODE_SJIS && !foldHalfWidthKana) {
        return JisToSjisText(AsBytes(output), text, BYTE_OUTPUT_CAPACITY, &lost);
    }
    SjisTemp sjis;
    LostCount decoded;
    if (JisToSjisText(sjis.data(), text, SJIS_TEMP_CAPACITY, &decoded) < 0) return -1;
    AddDecoded(decoded, target);
    return ConvertFromSjis(output, sjis.data(), target);
}

void CodeConverter::AddDecoded(const LostCount& decoded, KanjiCode target) {
    // A broken character was decoded as the unassigned EF FC, which code page
    // 932's decoder on the way to a Unicode target replaces and counts again.
    lost.noCode += decoded.noCode;
    if (!IsUnicodeTarget(target)) lost.broken += decoded.broken;
}

std::int32_t CodeConverter::ConvertFromEuc(ConvertedBuffer& output, const std::uint8_t* text,
                                           KanjiCode target) {
    if (target == CODE_SJIS && !foldHalfWidthKana) {  // as in ConvertFromJis
        return EucToSjisText(AsBytes(output), text, BYTE_OUTPUT_CAPACITY, &lost);
    }
    SjisTemp sjis;
    LostCount decoded;
    if (EucToSjisText(sjis.data(), text, SJIS_TEMP_CAPACITY, &decoded) < 0) return -1;
    AddDecoded(decoded, target);
    return ConvertFromSjis(output, sjis.data(), target);
}

std::int32_t CodeConverter::ConvertFromUnicode(ConvertedBuffer& output, const char16_t* text,
                                               KanjiCode target) {
    switch (target) {
        case CODE_UNICODE: return UnitsToBytes(CopyUnits(Units(output), text, lost));
        case CODE_UTF8:
            return WideToUtf8Text(AsBytes(output), text, DIRECT_FROM_WIDE_CAPACITY, &lost);
        case CODE_UTF7:
            return WideToUtf7Text(AsBytes(output), text, DIRECT_FROM_WIDE_CAPACITY, &lost);
        default: {
            if (target == CODE_SJIS && !foldHalfWidthKana) {  // as in ConvertFromJis
                return WideToAnsi(AsBytes(output), text, BYTE_OUTPUT_CAPACITY, &lost);
            }
            SjisTemp sjis;
            if (WideToAnsi(sjis.data(), text, SJIS_TEMP_CAPACITY, &lost) < 0) return -1;
            return ConvertFromSjis(output, sjis.data(), target);
        }
    }
}

std::int32_t CodeConverter::ConvertFromUtf8(ConvertedBuffer& output, const std::uint8_t* text,
                                            KanjiCode target) {
    if (target == CODE_UNICODE) {
        return UnitsToBytes(Utf8ToWideText(Units(output), text, UNIT_OUTPUT_CAPACITY, &lost));
    }
    if (target == CODE_UTF8) return CopyBytes(AsBytes(output), text);
    WideTemp wide;
    const std::int32_t units = Utf8ToWideText(wide.data(), text, WIDE_TEMP_CAPACITY, &lost);
    if (units < 0) return -1;
    return FromWide(output, wide.data(), units, target);
}

std::int32_t CodeConverter::FromWide(ConvertedBuffer& output, const char16_t* wide,
                                     std::int32_t units, KanjiCode target) {
    if (target == CODE_UTF8)
        return WideToUtf8Text(AsBytes(output), wide, BYTE_OUTPUT_CAPACITY, &lost);
    if (target == CODE_UTF7)
        return WideToUtf7TextOfLength(AsBytes(output), wide, units, BYTE_OUTPUT_CAPACITY, &lost);
    if (target == CODE_SJIS && !foldHalfWidthKana) {  // as in ConvertFromJis
        return WideToAnsi(AsBytes(output), wide, BYTE_OUTPUT_CAPACITY, &lost);
    }
    SjisTemp sjis;
    if (WideToAnsi(sjis.data(), wide, SJIS_TEMP_CAPACITY, &lost) < 0) return -1;
    return ConvertFromSjis(output, sjis.data(), target);
}

std::int32_t CodeConverter::DecodeUtf7(char16_t* out, const std::uint8_t* text,
                                       std::int32_t capacity) {
    return sourceGuessed ? Utf7ToWideTextStrict(out, text, capacity, &lost)
                         : Utf7ToWideText(out, text, capacity, &lost);
}

std::int32_t CodeConverter::ConvertFromUtf7(ConvertedBuffer& output, const std::uint8_t* text,
                                            KanjiCode target) {
    if (target == CODE_UNICODE) {
        return UnitsToBytes(DecodeUtf7(Units(output), text, UNIT_OUTPUT_CAPACITY));
    }
    const Utf7Reading reading = sourceGuessed ? Utf7Reading::Strict : Utf7Reading::Lenient;
    if (const std::int32_t n = Utf7ToBytesRoad(AsBytes(output), text, BYTE_OUTPUT_CAPACITY, target,
                                               reading, foldHalfWidthKana, lost);
        n != DIRECT_ROAD_DECLINED) {
        return n;
    }
    WideTemp wide;
    const std::int32_t units = DecodeUtf7(wide.data(), text, WIDE_TEMP_CAPACITY);
    if (units < 0) return -1;
    return FromWide(output, wide.data(), units, target);
}

}  // namespace ruv
