// Compares the single-pass roads with the roads through Shift_JIS, built here
// from the public codecs and the converter's own road steps.  The first byte
// picks the road and whether the piece is the raw input or text generated from
// it: mostly clean text (ASCII, row/cell pairs, for JIS the designations, some
// repeated or empty, for UTF-8 characters of every length, UTF-16 made of that
// UTF-8 or taken raw) with now and then a
// stray byte, a control or a missing designation, so both sides of the clean
// boundary are hit.  The second byte picks a capacity.
//
// Properties: ConvertLine gives the same length, bytes and count of replaced
// characters as the road steps without the direct roads; each direct road,
// given any capacity, either declines or gives exactly what the steps give
// with that capacity, which then replaced nothing.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <memory>

#include "engine/direct_roads.h"
#include "engine/euc_codec.h"
#include "engine/jis_codec.h"
#include "engine/line_converter.h"
#include "engine/sjis_primitives.h"
#include "engine/utf7_codec.h"
#include "engine/utf8_codec.h"
#include "fuzz_support.h"
#include "platform/utf8_units.h"

namespace {

using namespace ruv;

constexpr std::size_t kMaxPiece = LINE_BUFFER_BYTES - 1;
constexpr std::int32_t kCapacity = 4000;  // what the line converter gives the encoders

using DirectRoad = std::int32_t (*)(std::uint8_t*, const std::uint8_t*, std::int32_t);
template <std::int32_t (*road)(char16_t*, const std::uint8_t*, std::int32_t)>
std::int32_t ToUnits(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity) {
    return road(reinterpret_cast<char16_t*>(out), text, capacity);
}

template <std::int32_t (*road)(std::uint8_t*, const char16_t*, std::int32_t)>
std::int32_t FromUnits(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity) {
    return road(out, reinterpret_cast<const char16_t*>(text), capacity);
}

// A road and its single-pass function.
struct Road {
    KanjiCode source, target;
    DirectRoad direct;
};
constexpr Road kRoads[] = {{CODE_EUC, CODE_EUC, EucToEucDirect},
                           {CODE_EUC, CODE_JIS, EucToJisDirect},
                           {CODE_JIS, CODE_EUC, JisToEucDirect},
                           {CODE_JIS, CODE_JIS, JisToJisDirect},
                           {CODE_EUC, CODE_UTF8, EucToUtf8Direct},
                           {CODE_JIS, CODE_UTF8, JisToUtf8Direct},
                           {CODE_EUC, CODE_UNICODE, ToUnits<EucToUtf16Direct>},
                           {CODE_JIS, CODE_UNICODE, ToUnits<JisToUtf16Direct>},
                           {CODE_UTF8, CODE_SJIS, Utf8ToSjisDirect},
                           {CODE_UTF8, CODE_EUC, Utf8ToEucDirect},
                           {CODE_UTF8, CODE_JIS, Utf8ToJisDirect},
                           {CODE_UNICODE, CODE_EUC, FromUnits<Utf16ToEucDirect>},
                           {CODE_UNICODE, CODE_JIS, FromUnits<Utf16ToJisDirect>}};

// Appends bytes when they fit the piece.
struct Piece {
    std::uint8_t bytes[kMaxPiece + 1] = {};
    std::size_t length = 0;
    void Add(std::initializer_list<std::uint8_t> list) {
        if (length + list.size() > kMaxPiece) return;
        for (std::uint8_t b : list) bytes[length++] = b;
    }
    void AddUtf8(char32_t cp) {
        std::uint8_t b[4];
        const std::int32_t n = Utf8Length(cp);
        PutUtf8(b, cp, n);
        if (length + static_cast<std::size_t>(n) > kMaxPiece) return;
        for (std::int32_t i = 0; i < n; ++i) bytes[length++] = b[i];
    }
};

// A code point picked by two bytes: where code page 932 has look-alikes,
// half-width katakana and characters it lacks, two-byte forms, beyond U+FFFF.
char32_t PickCodePoint(std::uint8_t c, std::uint8_t v) {
    constexpr char32_t kBases[] = {0x80, 0xFF00, 0x2000, 0x2200, 0x3000, 0x4E00, 0xFE00, 0x1F600};
    return kBases[c & 7] + v;
}

// Builds a piece of the source code from the input, two bytes per token.
void Generate(const std::uint8_t* data, std::size_t size, KanjiCode source, Piece& piece) {
    const bool jis = source == CODE_JIS;
    bool kanji = false;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const std::uint8_t c = data[i], v = data[i + 1];
        if (c < 0x38) {  // ASCII, a tenth of it controls
            std::uint8_t b = static_cast<std::uint8_t>(0x20 + v % 0x5F);
            if (c < 0x06) b = "\t\n\r\x01\x7F"[v % 5];
            if (jis && kanji && c % 8 != 7) {  // now and then a missing designation
                piece.Add({0x1B, 0x28, 0x42});
                kanji = false;
            }
            piece.Add({b});
        } else if (c < 0x3C) {  // a designation, perhaps repeated or empty; a UTF-8 character
            if (jis) {
                kanji = (v & 1) != 0;
                piece.Add({0x1B, static_cast<std::uint8_t>(kanji ? 0x24 : 0x28), 0x42});
            } else if (source == CODE_UTF8) {
                const char32_t cp = PickCodePoint(static_cast<std::uint8_t>(c + data[0]), v);
                if (cp < 0xD800 || cp > 0xDFFF) piece.AddUtf8(cp);
            }
        } else if (c < 0x3E) {  // any byte but the terminator; for UTF-8 a lead C0-FF and two more
            if (source == CODE_UTF8 && c == 0x3D) {
                piece.Add({static_cast<std::uint8_t>(0xC0 | v >> 2),
                           static_cast<std::uint8_t>(0x80 | (v & 0x3F)),
                           static_cast<std::uint8_t>(0x80 | (v * 7 & 0x3F))});
            } else {
                piece.Add({v == 0 ? std::uint8_t{0x80} : v});
            }
        } else {  // a JIS X 0208 pair
            const auto row = static_cast<std::uint8_t>(0x21 + c % 94);
            const auto cell = static_cast<std::uint8_t>(0x21 + v % 94);
            if (source == CODE_UTF8) {  // as code page 932 reads its Shift_JIS pair
                const std::uint16_t sjis =
                    JisToSjisChar(static_cast<std::uint16_t>(row << 8 | cell));
                const std::uint8_t text[3] = {static_cast<std::uint8_t>(sjis >> 8),
                                              static_cast<std::uint8_t>(sjis), 0};
                char16_t unit[2];
                if (AnsiToWide(unit, text, 2) == 1) piece.AddUtf8(unit[0]);
            } else if (!jis) {
                piece.Add({static_cast<std::uint8_t>(row | 0x80),
                           static_cast<std::uint8_t>(cell | 0x80)});
            } else {
                if (!kanji) {
                    piece.Add({0x1B, 0x24, 0x42});
                    kanji = true;
                }
                piece.Add({row, cell});
            }
        }
    }
    if (jis && kanji && size % 2 == 0) piece.Add({0x1B, 0x28, 0x42});
    piece.bytes[piece.length] = 0;
}

// The source decoded to Shift_JIS as the road through it decodes it.
std::int32_t ToSjis(std::uint8_t* sjis, const std::uint8_t* text, KanjiCode source,
                    std::int32_t capacity, LostCount& lost) {
    if (source == CODE_JIS) return JisToSjisText(sjis, text, capacity, &lost);
    if (source == CODE_EUC) return EucToSjisText(sjis, text, capacity, &lost);
    if (source == CODE_UNICODE) {
        return WideToAnsi(sjis, reinterpret_cast<const char16_t*>(text), capacity, &lost);
    }
    char16_t wide[2048];
    if (Utf8ToWideText(wide, text, 2000, &lost) < 0) return -1;
    return WideToAnsi(sjis, wide, capacity, &lost);
}

// The road through Shift_JIS, with capacity for the last step (UTF-16: units).
std::int32_t TwoSteps(std::uint8_t* out, const std::uint8_t* text, Road road, std::int32_t capacity,
                      LostCount& lost) {
    if (road.target == CODE_SJIS) return ToSjis(out, text, road.source, capacity, lost);
    std::uint8_t sjis[4096];
    if (ToSjis(sjis, text, road.source, kCapacity, lost) < 0) return -1;
    switch (road.target) {
        case CODE_JIS: return SjisToJisText(out, sjis, capacity, &lost);
        case CODE_EUC: return SjisToEucText(out, sjis, capacity, &lost);
        case CODE_UTF8: return AnsiToUtf8(out, sjis, capacity, &lost);
        default: return AnsiToWide(reinterpret_cast<char16_t*>(out), sjis, capacity, &lost);
    }
}

// The line converter from UTF-7 (pick: the target, the strict reading,
// folding) against the road through UTF-16 built from the codecs and steps.
void CheckFromUtf7(const LineBuffer& line, std::uint8_t pick) {
    constexpr KanjiCode kTargets[] = {CODE_SJIS, CODE_EUC, CODE_JIS, CODE_UTF8, CODE_UTF7};
    const KanjiCode target = kTargets[pick % 5];
    CodeConverter converter, steps;
    converter.sourceGuessed = (pick & 0x40) != 0;
    steps.foldHalfWidthKana = (pick & 0x80) != 0;
    char16_t wide[2048];
    std::uint8_t sjis[4096];
    ConvertedBuffer output, expected;
    std::uint8_t* out = AsBytes(expected);
    const bool decoded = (converter.sourceGuessed ? Utf7ToWideTextStrict : Utf7ToWideText)(
                             wide, AsBytes(line), 2000, &steps.lost) >= 0;
    std::int32_t m = -1;
    if (decoded && target == CODE_UTF8) {
        m = WideToUtf8Text(out, wide, kCapacity, &steps.lost);
    } else if (decoded && target == CODE_UTF7) {
        m = WideToUtf7Text(out, wide, kCapacity, &steps.lost);
    } else if (decoded && WideToAnsi(sjis, wide, kCapacity, &steps.lost) >= 0) {
        m = steps.ConvertFromSjis(expected, sjis, target);
    }
    const std::int32_t n = converter.ConvertLine(
        output, line, {CODE_UTF7, target, Newline::Lf, steps.foldHalfWidthKana});
    if (n != m ||
        (n >= 0 && (std::memcmp(AsBytes(output), out, static_cast<std::size_t>(n) + 1) != 0 ||
                    converter.lost.noCode != steps.lost.noCode ||
                    converter.lost.broken != steps.lost.broken))) {
        fuzz::Fail("the road from UTF-7 differs from the road through UTF-16");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const Road road = kRoads[(data[0] & 0x1F) % std::size(kRoads)];
    const bool units = road.source == CODE_UNICODE;
    const bool raw = (data[0] & 0x60) == 0x60;  // a quarter of the inputs as they are
    const std::uint8_t pick = data[0];
    // Now and then the whole line goes to UTF-7 instead, through the same units.
    const KanjiCode lineTarget = (data[1] & 0x80) != 0 ? CODE_UTF7 : road.target;
    const std::int32_t capacity = fuzz::CapacityFrom(data[1]);
    data += 2;
    size -= 2;

    Piece piece;
    LineBuffer line{};
    if (units && raw) {  // little-endian units up to a zero one
        std::size_t n = 0;
        for (; 2 * n + 1 < size && n + 1 < line.size(); ++n) {
            line[n] = static_cast<char16_t>(data[2 * n] | data[2 * n + 1] << 8);
            if (line[n] == 0) break;
        }
        line[n] = 0;
    } else if (units) {  // generated UTF-8, as UTF-16
        Generate(data, size, CODE_UTF8, piece);
        piece.bytes[std::min(piece.length, line.size() - 1)] = 0;
        Utf8ToWideText(line.data(), piece.bytes, static_cast<std::int32_t>(line.size()));
    } else if (raw) {
        while (piece.length < size && piece.length < kMaxPiece && data[piece.length] != 0) {
            piece.bytes[piece.length] = data[piece.length];
            ++piece.length;
        }
        piece.bytes[piece.length] = 0;
    } else {
        Generate(data, size, road.source, piece);
    }

    if (!units) std::memcpy(AsBytes(line), piece.bytes, piece.length + 1);
    const std::uint8_t* text = units ? AsBytes(line) : piece.bytes;
    fuzz::shown = {AsBytes(line), units ? line.size() * 2 : piece.length};
    // The whole line converter against its road steps, which take no direct road.
    ConvertedBuffer output, expected;
    CodeConverter converter, steps;
    CheckFromUtf7(line, pick);
    const std::int32_t n =
        converter.ConvertLine(output, line, {road.source, lineTarget, Newline::Lf});
    const std::int32_t m =
        units                      ? steps.ConvertFromUnicode(expected, line.data(), lineTarget)
        : road.source == CODE_UTF8 ? steps.ConvertFromUtf8(expected, text, lineTarget)
        : road.source == CODE_JIS  ? steps.ConvertFromJis(expected, text, lineTarget)
                                   : steps.ConvertFromEuc(expected, text, lineTarget);
    if (n != (m < 0 ? -1 : m))
        fuzz::Fail("the line converter's length differs from the road steps");
    if (n >= 0 && (converter.lost.noCode != steps.lost.noCode ||
                   converter.lost.broken != steps.lost.broken)) {
        fuzz::Fail("the line converter's count differs from the road steps");
    }
    const std::size_t terminator = lineTarget == CODE_UNICODE ? 2 : 1;
    if (n >= 0 && std::memcmp(AsBytes(output), AsBytes(expected),
                              static_cast<std::size_t>(n) + terminator) != 0) {
        fuzz::Fail("the line converter's bytes differ from the road steps");
    }

    // A direct road on its own, into a block of exactly the capacity.
    if (capacity < 1) return 0;
    const std::size_t unitBytes = road.target == CODE_UNICODE ? 2 : 1;
    const std::size_t blockBytes = static_cast<std::size_t>(capacity) * unitBytes;
    std::unique_ptr<std::uint8_t[]> direct(new std::uint8_t[blockBytes]);
    const std::int32_t d = road.direct(direct.get(), text, capacity);
    if (d == DIRECT_ROAD_DECLINED) return 0;
    std::unique_ptr<std::uint8_t[]> twoSteps(new std::uint8_t[blockBytes]);
    LostCount stepsLost;
    const std::int32_t s = TwoSteps(twoSteps.get(), text, road, capacity, stepsLost);
    if (d != s) fuzz::Fail("a direct road's length differs from the two steps");
    if (stepsLost.Total() != 0) fuzz::Fail("a direct road took a piece that loses a character");
    if (std::memcmp(direct.get(), twoSteps.get(), (static_cast<std::size_t>(d) + 1) * unitBytes) !=
        0) {
        fuzz::Fail("a direct road's bytes differ from the two steps");
    }
    return 0;
}
