// Every codec of the engine, the direct roads and DetectCode on one input: the
// first byte picks the capacity, the rest is the text, read as bytes and as
// little-endian units, and made into clean EUC-JP and ISO-2022-JP pieces. Each
// codec keeps the engine convention in exactly sized blocks, so AddressSanitizer
// sees any access past them; the other properties are named by the message of
// each Fail below. The code page 932 tables are checked whole by the unit tests.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "detect/code_detector.h"
#include "engine/direct_roads.h"
#include "engine/euc_codec.h"
#include "engine/jis_codec.h"
#include "engine/line_converter.h"
#include "engine/sjis_primitives.h"
#include "engine/utf7_codec.h"
#include "engine/utf8_codec.h"
#include "fuzz_support.h"
#include "platform/cp932.h"
#include "platform/utf16_units.h"

namespace {

using namespace ruv;
using fuzz::Fail;
using fuzz::Whole;

constexpr fuzz::Codec<std::uint8_t, std::uint8_t> kByteCodecs[] = {
    SjisToJisText, JisToSjisText, SjisToEucText, EucToSjisText, SjisToSjisText, Cp932ToUtf8};
constexpr fuzz::Codec<char16_t, std::uint8_t> kDecoders[] = {Utf8ToWideText, Cp932ToUtf16};
constexpr fuzz::Codec<std::uint8_t, char16_t> kEncoders[] = {WideToUtf8Text, WideToUtf7Text,
                                                             Utf16ToCp932};

// A valid Shift_JIS line made from the input, two bytes per character:
// printable ASCII, or a JIS X 0208 row/cell pair.
void CheckValidSjis(const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> sjis;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        if (data[i] < 0x40) {
            sjis.push_back(static_cast<std::uint8_t>(0x20 + data[i + 1] % 0x5F));  // 0x20-0x7E
            continue;
        }
        const unsigned row = 0x21 + data[i] % 94, cell = 0x21 + data[i + 1] % 94;
        const std::uint16_t pair = JisToSjisChar(static_cast<std::uint16_t>(row << 8 | cell));
        sjis.insert(sjis.end(), {std::uint8_t(pair >> 8), std::uint8_t(pair)});
    }
    sjis.push_back(0);
    if (Whole(SjisToSjisText, sjis.data()) != sjis) Fail("the copy changed a valid line");
    const std::pair<fuzz::Codec<std::uint8_t, std::uint8_t>,
                    fuzz::Codec<std::uint8_t, std::uint8_t>>
        roads[] = {{SjisToJisText, JisToSjisText}, {SjisToEucText, EucToSjisText}};
    for (const auto& [encode, decode] : roads) {
        LostCount lost;
        if (Whole(decode, Whole(encode, sjis.data(), &lost).data(), &lost) != sjis ||
            lost.Total() != 0) {
            Fail("valid Shift_JIS did not come back unchanged");
        }
    }
}

void CheckUtf16RoundTrip(const char16_t* text) {
    const auto count = static_cast<std::int32_t>(std::char_traits<char16_t>::length(text));
    std::uint32_t lone = 0;
    for (std::int32_t i = 0; i < count; ++i) lone += IsLoneSurrogateAt(text, i) ? 1 : 0;
    const std::pair<fuzz::Codec<std::uint8_t, char16_t>, fuzz::Codec<char16_t, std::uint8_t>>
        roads[] = {{WideToUtf8Text, Utf8ToWideText},
                   {WideToUtf7Text, Utf7ToWideText},
                   {WideToUtf7Text, Utf7ToWideTextStrict}};
    for (const auto& [encode, decode] : roads) {
        LostCount lost;
        const auto middle = Whole(encode, text, &lost);
        if (lost.broken != lone || lost.noCode != 0) Fail("the encoder miscounted");
        const auto back = Whole(decode, middle.data(), &lost);
        if (back.size() != static_cast<std::size_t>(count) + 1)
            Fail("round trip changed the length");
        if (lost.Total() != lone) Fail("the decoder replaced a character");
        for (std::int32_t i = 0; i < count; ++i) {
            if (back[i] != (IsLoneSurrogateAt(text, i) ? u'?' : text[i])) {
                Fail("round trip changed the text");
            }
        }
    }
}

constexpr std::size_t kMaxPiece = LINE_BUFFER_BYTES - 1;
constexpr std::int32_t kCapacity = 4000;  // what the line converter gives the encoders

// A piece of EUC-JP or JIS from the input, two bytes per token: mostly clean
// text (ASCII, row/cell pairs, and for JIS the designations, some repeated or
// empty) with now and then a stray byte, a control or a missing designation,
// so that both sides of the clean boundary are hit.
std::vector<std::uint8_t> Generate(const std::vector<std::uint8_t>& data, bool jis) {
    std::vector<std::uint8_t> piece;
    const auto add = [&](std::initializer_list<std::uint8_t> list) {
        if (piece.size() + list.size() <= kMaxPiece) piece.insert(piece.end(), list);
    };
    bool kanji = false;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        const std::uint8_t c = data[i], v = data[i + 1];
        if (c < 0x38) {  // ASCII, a tenth of it controls
            std::uint8_t b = static_cast<std::uint8_t>(0x20 + v % 0x5F);
            if (c < 0x06) b = "\t\n\r\x01\x7F"[v % 5];
            if (jis && kanji && c % 8 != 7) {  // now and then a missing designation
                add({0x1B, 0x28, 0x42});
                kanji = false;
            }
            add({b});
        } else if (c < 0x3C) {  // a designation, perhaps repeated or empty
            if (jis) {
                kanji = (v & 1) != 0;
                add({0x1B, static_cast<std::uint8_t>(kanji ? 0x24 : 0x28), 0x42});
            }
        } else if (c < 0x3E) {  // any byte but the terminator
            add({v == 0 ? std::uint8_t{0x80} : v});
        } else {  // a JIS X 0208 pair
            const auto row = static_cast<std::uint8_t>(0x21 + c % 94);
            const auto cell = static_cast<std::uint8_t>(0x21 + v % 94);
            if (!jis) {
                add({static_cast<std::uint8_t>(row | 0x80),
                     static_cast<std::uint8_t>(cell | 0x80)});
                continue;
            }
            if (!kanji) add({0x1B, 0x24, 0x42});
            kanji = true;
            add({row, cell});
        }
    }
    if (jis && kanji && data.size() % 2 == 0) add({0x1B, 0x28, 0x42});
    piece.push_back(0);
    return piece;
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

void CheckDirectRoads(const std::vector<std::uint8_t>& piece, bool fromJis, std::int32_t capacity) {
    if (piece.size() > kMaxPiece + 1) return;
    fuzz::shown = {piece.data(), piece.size()};
    for (const bool toJis : {false, true}) {
        // The whole line converter against the two steps.
        LineBuffer line{};
        std::memcpy(AsBytes(line), piece.data(), piece.size());
        ConvertedBuffer output;
        CodeConverter converter;
        const std::int32_t n =
            converter.ConvertLine(output, line, fromJis ? CODE_JIS : CODE_EUC,
                                  toJis ? CODE_JIS : CODE_EUC, NEWLINE_LF, false);
        std::uint8_t expected[4096];
        LostCount lost;
        if (n != TwoSteps(expected, piece.data(), fromJis, toJis, kCapacity, lost) ||
            (n >= 0 &&
             (converter.lost.noCode != lost.noCode || converter.lost.broken != lost.broken ||
              std::memcmp(AsBytes(output), expected, std::size_t(n) + 1) != 0))) {
            fuzz::Fail("the line converter differs from the two steps");
        }
        // A direct road on its own, into a block of exactly the capacity.
        if (capacity < 1) continue;
        const auto road = fromJis ? (toJis ? JisToJisDirect : JisToEucDirect)
                                  : (toJis ? EucToJisDirect : EucToEucDirect);
        std::unique_ptr<std::uint8_t[]> direct(new std::uint8_t[capacity]);
        const std::int32_t d = road(direct.get(), piece.data(), capacity);
        if (d == DIRECT_ROAD_DECLINED) continue;
        std::unique_ptr<std::uint8_t[]> steps(new std::uint8_t[capacity]);
        LostCount stepsLost;
        if (d != TwoSteps(steps.get(), piece.data(), fromJis, toJis, capacity, stepsLost) ||
            stepsLost.Total() != 0 ||
            std::memcmp(direct.get(), steps.get(), std::size_t(d) + 1) != 0) {
            fuzz::Fail(
                "a direct road differs from the two steps or took a piece that loses a character");
        }
    }
}

void CheckDetection(const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> block(data.size() + DETECT_LOOKAHEAD_BYTES);
    std::copy(data.begin(), data.end(), block.begin());
    const auto size = static_cast<std::int32_t>(data.size());
    const KanjiCode code = DetectCode(block.data(), size);
    if (!IsSourceCode(code) && code != CODE_UNKNOWN && code != CODE_BINARY) {
        Fail("not a detection result");
    }
    if (size < 2 && code != CODE_UNKNOWN) Fail("fewer than two bytes detected as a code");
    if (DetectCode(block.data(), size, false) == CODE_UTF7 &&
        Utf7ToWideTextStrict(nullptr, block.data(), size + 1) < 0) {
        Fail("detected as UTF-7, refused by the strict decoder");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const std::int32_t capacity = fuzz::CapacityFrom(provider.ConsumeIntegral<std::uint8_t>());
    const std::vector<std::uint8_t> rest = provider.ConsumeRemainingBytes<std::uint8_t>();
    const std::vector<std::uint8_t> bytes = fuzz::Terminated<std::uint8_t>(rest);
    const std::vector<char16_t> units = fuzz::Terminated<char16_t>(rest);
    const std::uint8_t* text = bytes.data();
    fuzz::shown = {data, size};

    for (const auto codec : kByteCodecs) fuzz::CheckCodec(codec, text, capacity);
    for (const auto codec : kDecoders) fuzz::CheckCodec(codec, text, capacity);
    for (const auto codec : kEncoders) fuzz::CheckCodec(codec, units.data(), capacity);
    if (Utf7ToWideText(nullptr, text, capacity) >= 0) {
        // Measuring finds no lone surrogate: they are found among the units written.
        fuzz::CheckCodec(fuzz::Codec<char16_t, std::uint8_t>{Utf7ToWideText}, text, capacity,
                         false);
    } else if (std::unique_ptr<char16_t[]> out(new char16_t[capacity]);
               Utf7ToWideText(out.get(), text, capacity) != -1) {
        Fail("a refused text decoded when written");
    }

    const auto lenient = Whole(Utf7ToWideText, text);
    for (const auto& decoded : {Whole(Utf8ToWideText, text), lenient}) {
        for (std::size_t i = 0; i + 1 < decoded.size(); ++i) {
            if (IsLoneSurrogateAt(decoded.data(), i)) Fail("decoded a lone surrogate");
        }
    }
    if (const auto strict = Whole(Utf7ToWideTextStrict, text);
        !strict.empty() && strict != lenient) {
        Fail("the strict reading differs from the lenient one");
    }
    CheckValidSjis(rest);
    CheckUtf16RoundTrip(units.data());
    CheckDetection(rest);
    for (const bool fromJis : {false, true}) {  // these show the piece when they fail
        CheckDirectRoads(bytes, fromJis, capacity);
        CheckDirectRoads(Generate(rest, fromJis), fromJis, capacity);
    }
    return 0;
}
