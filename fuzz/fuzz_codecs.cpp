// Every codec of the engine and DetectCode on one input (the direct roads have
// fuzz_direct_roads.cpp): the first byte picks the capacity, the rest is the
// text, read as bytes and as little-endian units. Each
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

constexpr fuzz::ByteCodec kByteCodecs[] = {SjisToJisText, JisToSjisText,  SjisToEucText,
                                           EucToSjisText, SjisToSjisText, Cp932ToUtf8};
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
    const std::pair<fuzz::ByteCodec, fuzz::ByteCodec> roads[] = {{SjisToJisText, JisToSjisText},
                                                                 {SjisToEucText, EucToSjisText}};
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

// The UTF-7 codec as it was, a unit or a digit at a time, which the engine's
// must match byte for byte (terminator included), with the same count of
// replacements.
std::vector<std::uint8_t> OldUtf7(const char16_t* t, LostCount& lost) {
    std::vector<std::uint8_t> s;
    std::uint32_t bits = 0;
    int pending = -1;  // bits not yet written in the open run; -1: none open
    for (std::size_t i = 0;; ++i) {
        char16_t u = t[i];
        if (u != 0 && IsLoneSurrogateAt(t, i)) u = (++lost.broken, u'?');
        const bool direct = u == 0 || (u < 0x80 && Utf7CharClass[u] == UTF7_DIRECT);
        if (pending >= 0 && direct) {
            if (pending > 0) s.push_back(Utf7Alphabet[(bits << (6 - pending)) & 0x3F]);
            s.push_back('-');
            pending = -1;
        }
        if (direct || (pending < 0 && u == u'+')) {
            s.push_back(static_cast<std::uint8_t>(u));
            if (u == 0) return s;
            if (u == u'+') s.push_back('-');
            continue;
        }
        if (pending < 0) s.push_back('+'), pending = 0;
        for (bits = bits << 16 | u, pending += 16; pending >= 6;) {
            s.push_back(Utf7Alphabet[(bits >> (pending -= 6)) & 0x3F]);
        }
    }
}

// Its decoder: each digit with a look at the next gives a byte (none for every
// fourth), two bytes a unit; empty when it refuses the text.
std::vector<char16_t> OldUtf16(const std::uint8_t* t, bool strict, LostCount& lost) {
    std::vector<char16_t> s;
    for (std::size_t i = 0; t[i] != 0;) {
        const std::uint8_t b = t[i++];
        if (b != '+' || t[i] == '-') {
            if (b >= 0x80 || Utf7CharClass[b] == UTF7_ENCODED) return {};
            s.push_back(b);
            i += b == '+';
            continue;
        }
        const std::size_t first = i;
        std::uint32_t v = 0;
        for (int high = -1; IsUtf7Digit(t[i]); ++i) {
            v = Utf7DigitValue[t[i]];
            const std::uint32_t w = IsUtf7Digit(t[i + 1]) ? Utf7DigitValue[t[i + 1]] : 0;
            const auto phase = static_cast<int>((i - first) % 4);
            if (phase == 3) continue;
            const int byte = static_cast<int>((v << (2 + 2 * phase) | w >> (4 - 2 * phase)) & 0xFF);
            if (high < 0 && (high = byte) >= 0) continue;
            if ((high << 8 | byte) == 0) return {};
            s.push_back(static_cast<char16_t>(high << 8 | byte)), high = -1;
        }
        const auto digits = static_cast<std::int32_t>(i - first);
        if (strict && (digits == 0 || !Utf7RunEndsWell(digits, v))) return {};
        i += t[i] == '-';
    }
    s.push_back(0);
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
        if (IsLoneSurrogateAt(s.data(), i)) s[i] = (++lost.broken, u'?');
    }
    return s;
}

void CheckUtf7AsItWas(const std::uint8_t* text, const char16_t* units) {
    LostCount was[3], is[3];
    if (Whole(WideToUtf7Text, units, &is[0]) != OldUtf7(units, was[0]) ||
        Whole(Utf7ToWideText, text, &is[1]) != OldUtf16(text, false, was[1]) ||
        Whole(Utf7ToWideTextStrict, text, &is[2]) != OldUtf16(text, true, was[2])) {
        Fail("the UTF-7 codec differs from the one at a unit or digit a time");
    }
    for (int i = 0; i < 3; ++i) {
        if (is[i].broken != was[i].broken) Fail("the UTF-7 codec counts differently");
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
    CheckValidSjis(rest);
    CheckUtf16RoundTrip(units.data());
    CheckDetection(rest);
    CheckUtf7AsItWas(text, units.data());
    return 0;
}
