// Compares the single-pass roads between EUC-JP and JIS with the road through
// Shift_JIS, built here from the public codecs.  The first byte picks the
// source, the target, a capacity and whether the piece is the raw input or
// text generated from it: mostly clean text (ASCII, row/cell pairs, and for JIS
// the designations, some repeated or empty) with now and then a stray byte, a
// control or a missing designation, so both sides of the clean boundary are hit.
//
// Properties: ConvertLine gives the same length, bytes and count of replaced
// characters as the two steps; each direct road, given any capacity, either
// declines or gives exactly what the two steps give with that capacity, which
// then replaced nothing.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>

#include "engine/direct_roads.h"
#include "engine/euc_codec.h"
#include "engine/jis_codec.h"
#include "engine/line_converter.h"
#include "fuzz_support.h"

namespace {

using namespace ruv;

constexpr std::size_t kMaxPiece = LINE_BUFFER_BYTES - 1;
constexpr std::int32_t kCapacity = 4000;  // what the line converter gives the encoders

// Appends up to n bytes when they fit the piece.
struct Piece {
    std::uint8_t bytes[kMaxPiece + 1] = {};
    std::size_t length = 0;
    void Add(std::initializer_list<std::uint8_t> list) {
        if (length + list.size() > kMaxPiece) return;
        for (std::uint8_t b : list) bytes[length++] = b;
    }
};

// Builds a piece of the source code from the input, two bytes per token.
void Generate(const std::uint8_t* data, std::size_t size, bool jis, Piece& piece) {
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
        } else if (c < 0x3C) {  // a designation, perhaps repeated or empty
            if (jis) {
                kanji = (v & 1) != 0;
                piece.Add({0x1B, static_cast<std::uint8_t>(kanji ? 0x24 : 0x28), 0x42});
            }
        } else if (c < 0x3E) {  // any byte but the terminator
            piece.Add({v == 0 ? std::uint8_t{0x80} : v});
        } else {  // a JIS X 0208 pair
            const auto row = static_cast<std::uint8_t>(0x21 + c % 94);
            const auto cell = static_cast<std::uint8_t>(0x21 + v % 94);
            if (!jis) {
                piece.Add({static_cast<std::uint8_t>(row | 0x80), static_cast<std::uint8_t>(cell | 0x80)});
                continue;
            }
            if (!kanji) {
                piece.Add({0x1B, 0x24, 0x42});
                kanji = true;
            }
            piece.Add({row, cell});
        }
    }
    if (jis && kanji && size % 2 == 0) piece.Add({0x1B, 0x28, 0x42});
    piece.bytes[piece.length] = 0;
}

// The road through Shift_JIS, with capacity for the encoding step.
std::int32_t TwoSteps(std::uint8_t* out, const std::uint8_t* text, bool fromJis, bool toJis,
                      std::int32_t capacity, LostCount& lost) {
    std::uint8_t sjis[4096];
    const std::int32_t n = fromJis ? JisToSjisText(sjis, text, kCapacity, &lost)
                                   : EucToSjisText(sjis, text, kCapacity, &lost);
    if (n < 0) return -1;
    return toJis ? SjisToJisText(out, sjis, capacity, &lost)
                 : SjisToEucText(out, sjis, capacity, &lost);
}

std::int32_t Direct(std::uint8_t* out, const std::uint8_t* text, bool fromJis, bool toJis,
                    std::int32_t capacity) {
    if (fromJis) return toJis ? JisToJisDirect(out, text, capacity) : JisToEucDirect(out, text, capacity);
    return toJis ? EucToJisDirect(out, text, capacity) : EucToEucDirect(out, text, capacity);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const bool fromJis = (data[0] & 1) != 0;
    const bool toJis = (data[0] & 2) != 0;
    const bool raw = (data[0] & 0x0C) == 0x0C;  // a quarter of the inputs as they are
    const std::int32_t capacity = fuzz::CapacityFrom(data[1]);
    data += 2;
    size -= 2;

    Piece piece;
    if (raw) {
        while (piece.length < size && piece.length < kMaxPiece && data[piece.length] != 0) {
            piece.bytes[piece.length] = data[piece.length];
            ++piece.length;
        }
        piece.bytes[piece.length] = 0;
    } else {
        Generate(data, size, fromJis, piece);
    }

    fuzz::shown = {piece.bytes, piece.length};
    // The whole line converter against the two steps.
    LineBuffer line{};
    std::memcpy(AsBytes(line), piece.bytes, piece.length + 1);
    ConvertedBuffer output;
    CodeConverter converter;
    const std::int32_t n = converter.ConvertLine(
        output, line, {fromJis ? CODE_JIS : CODE_EUC, toJis ? CODE_JIS : CODE_EUC, Newline::Lf});
    std::uint8_t expected[4096];
    LostCount lost;
    const std::int32_t m = TwoSteps(expected, piece.bytes, fromJis, toJis, kCapacity, lost);
    if (n != m) fuzz::Fail("the line converter's length differs from the two steps");
    if (n >= 0 && (converter.lost.noCode != lost.noCode || converter.lost.broken != lost.broken)) {
        fuzz::Fail("the line converter's count differs from the two steps");
    }
    if (n >= 0 && std::memcmp(AsBytes(output), expected, static_cast<std::size_t>(n) + 1) != 0) {
        fuzz::Fail("the line converter's bytes differ from the two steps");
    }

    // A direct road on its own, into a block of exactly the capacity.
    if (capacity < 1) return 0;
    std::unique_ptr<std::uint8_t[]> direct(new std::uint8_t[capacity]);
    const std::int32_t d = Direct(direct.get(), piece.bytes, fromJis, toJis, capacity);
    if (d == DIRECT_ROAD_DECLINED) return 0;
    std::unique_ptr<std::uint8_t[]> steps(new std::uint8_t[capacity]);
    LostCount stepsLost;
    const std::int32_t s = TwoSteps(steps.get(), piece.bytes, fromJis, toJis, capacity, stepsLost);
    if (d != s) fuzz::Fail("a direct road's length differs from the two steps");
    if (stepsLost.Total() != 0)
        fuzz::Fail("a direct road took a piece that loses a character");
    if (std::memcmp(direct.get(), steps.get(), static_cast<std::size_t>(d) + 1) != 0) {
        fuzz::Fail("a direct road's bytes differ from the two steps");
    }
    return 0;
}
