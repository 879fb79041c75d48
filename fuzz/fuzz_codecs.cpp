// Every codec of the engine and the code page 932 converters on one input: the
// first byte picks the capacity, the rest is the text, read as bytes and as
// little-endian units.
//
// Properties: each codec keeps the engine convention with exactly sized blocks
// (the UTF-7 decoder may refuse a text, and then at every capacity); valid
// Shift_JIS comes back unchanged through JIS and EUC-JP and through the folding
// copy; any UTF-16 comes back through UTF-8 and UTF-7 (both readings) with each
// lone surrogate as "?", counted once by the encoder; decoding UTF-8 or UTF-7
// never yields a lone surrogate; the strict UTF-7 reading reads what it accepts
// as the lenient one does; code page 932 text decoded survives encoding and
// decoding again, one unit at most per byte and two bytes per unit, and straight
// to UTF-8 gives what the two steps give.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "engine/euc_codec.h"
#include "engine/jis_codec.h"
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

void CheckNoLoneSurrogate(const std::vector<char16_t>& units) {
    for (std::size_t i = 0; i + 1 < units.size(); ++i) {
        if (IsLoneSurrogateAt(units.data(), i)) Fail("decoded a lone surrogate");
    }
}

void CheckValidSjis(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> sjis(size + 1);
    const std::size_t length = fuzz::ValidSjisFrom(data, size, sjis.data()) + 1;
    sjis.resize(length);
    if (Whole(SjisToSjisText, sjis.data()) != sjis) Fail("the copy changed a valid line");
    const std::pair<fuzz::Codec<std::uint8_t, std::uint8_t>, fuzz::Codec<std::uint8_t, std::uint8_t>>
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
    const std::int32_t count = fuzz::LengthOf(text);
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
        if (back.size() != static_cast<std::size_t>(count) + 1) Fail("round trip changed the length");
        if (lost.Total() != lone) Fail("the decoder replaced a character");
        for (std::int32_t i = 0; i < count; ++i) {
            if (back[i] != (IsLoneSurrogateAt(text, i) ? u'?' : text[i])) {
                Fail("round trip changed the text");
            }
        }
    }
}

void CheckCp932(const std::uint8_t* text, const char16_t* units) {
    const auto wide = Whole(Cp932ToUtf16, text);
    if (wide.size() > static_cast<std::size_t>(fuzz::LengthOf(text)) + 1) {
        Fail("more units than bytes");
    }
    if (Whole(Cp932ToUtf16, Whole(Utf16ToCp932, wide.data()).data()) != wide) {
        Fail("a decoded character did not round-trip");
    }
    if (Whole(Cp932ToUtf8, text) != Whole(WideToUtf8Text, wide.data())) {
        Fail("straight to UTF-8 differs from the two steps");
    }
    if (Utf16ToCp932(nullptr, units, 0) > 2 * fuzz::LengthOf(units)) {
        Fail("more than two bytes per unit");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::shown = {data, size};
    FuzzedDataProvider provider(data, size);
    const std::int32_t capacity = fuzz::CapacityFrom(provider.ConsumeIntegral<std::uint8_t>());
    const std::vector<std::uint8_t> rest = provider.ConsumeRemainingBytes<std::uint8_t>();
    const fuzz::TerminatedBytes bytes(rest.data(), rest.size());
    const fuzz::TerminatedUnits units(rest.data(), rest.size());
    const std::uint8_t* text = bytes.bytes.get();

    for (const auto codec : kByteCodecs) fuzz::CheckCodec(codec, text, capacity);
    for (const auto codec : kDecoders) fuzz::CheckCodec(codec, text, capacity);
    for (const auto codec : kEncoders) fuzz::CheckCodec(codec, units.units.get(), capacity);
    if (Utf7ToWideText(nullptr, text, capacity) >= 0) {
        // Measuring finds no lone surrogate: they are found among the units written.
        fuzz::CheckCodec(fuzz::Codec<char16_t, std::uint8_t>{Utf7ToWideText}, text, capacity, false);
    } else if (std::unique_ptr<char16_t[]> out(new char16_t[capacity]);
               Utf7ToWideText(out.get(), text, capacity) != -1) {
        Fail("a refused text decoded when written");
    }

    CheckNoLoneSurrogate(Whole(Utf8ToWideText, text));
    const auto lenient = Whole(Utf7ToWideText, text);
    CheckNoLoneSurrogate(lenient);
    if (const auto strict = Whole(Utf7ToWideTextStrict, text); !strict.empty() && strict != lenient) {
        Fail("the strict reading differs from the lenient one");
    }
    CheckValidSjis(rest.data(), rest.size());
    CheckUtf16RoundTrip(units.units.get());
    CheckCp932(text, units.units.get());
    return 0;
}
