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
    return 0;
}
