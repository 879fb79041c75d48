#include "engine/utf8_codec.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace ruv {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Units = std::u16string;

// "C3 A9" -> the bytes and a terminating zero byte.
Bytes Hex(const char* hex) {
    Bytes bytes;
    std::istringstream in(hex);
    unsigned value;
    while (in >> std::hex >> value) bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(0);
    return bytes;
}

// Runs a codec of the engine convention with a generous buffer; the output
// without its terminator, after checking the terminator and the measured length.
template <typename Out, typename In, typename Codec>
std::basic_string<Out> Convert(Codec codec, const In* text) {
    const std::int32_t needed = codec(nullptr, text, 0);
    std::vector<Out> out(static_cast<std::size_t>(needed) + 8, Out{0x55});
    EXPECT_EQ(codec(out.data(), text, needed + 1), needed);
    EXPECT_EQ(out[needed], Out{0});
    return std::basic_string<Out>(out.data(), static_cast<std::size_t>(needed));
}

// With every capacity from 0 up: -1 while the output and its terminator do not
// fit, nothing written beyond the capacity, success from needed + 1 on.
template <typename Out, typename In, typename Codec>
void ExpectCapacityBoundary(Codec codec, const In* text) {
    const std::int32_t needed = codec(nullptr, text, -7);
    for (std::int32_t capacity = 0; capacity <= needed + 1; ++capacity) {
        std::vector<Out> out(static_cast<std::size_t>(needed) + 4, Out{0x55});
        const std::int32_t result = codec(out.data(), text, capacity);
        EXPECT_EQ(result, capacity > needed ? needed : -1) << "capacity " << capacity;
        for (std::size_t i = capacity; i < out.size(); ++i) ASSERT_EQ(out[i], Out{0x55});
    }
}

struct ReadCase {
    const char* bytes;
    std::uint16_t value;
    std::int32_t length;
};

TEST(Utf8ReadChar, TakesLengthFromLeadByteAndMasksFollowingBytes) {
    const ReadCase cases[] = {
        {"41", 0x0041, 1},                 // A
        {"C3 A9", 0x00E9, 2},              // é
        {"E3 81 82", 0x3042, 3},           // あ
        {"E3 41 42", 0x3042, 3},           // continuation bits masked off untested
        {"ED A0 BD", 0xD83D, 3},           // an encoded surrogate passes
        {"C0 80", 0x0000, 2},              // overlong zero
        {"80", 0x0080, 1},                 // stray continuation byte
        {"F0 9F 98 80", 0xFFFF, 4},        // 😀, beyond 16 bits
        {"F8 88 80 80 80", 0xFFFF, 5},     //
        {"FE 80 80 80 80 80", 0xFFFF, 6},  // FE and FF count as six-byte leads
        {"C3", 0x00C3, 1},                 // cut by the terminator: the lead alone
        {"E3 81", 0x00E3, 1},              //
        {"FC 80 80 80 80", 0x00FC, 1},     //
    };
    for (const auto& c : cases) {
        const Bytes bytes = Hex(c.bytes);
        std::int32_t length = 0;
        EXPECT_EQ(Utf8ReadChar(bytes.data(), &length), c.value) << c.bytes;
        EXPECT_EQ(length, c.length) << c.bytes;
        EXPECT_EQ(Utf8ReadChar(bytes.data(), nullptr), c.value) << c.bytes;
    }
}

TEST(Utf8ReadChar, LengthOfEveryCompleteSequenceIsSequenceLengthOfItsLead) {
    for (int lead = 1; lead < 256; ++lead) {
        const std::uint8_t bytes[] = {static_cast<std::uint8_t>(lead), 0x80, 0x80, 0x80,
                                      0x80, 0x80, 0};
        std::int32_t length = 0;
        Utf8ReadChar(bytes, &length);
        EXPECT_EQ(length, Utf8SequenceLength(bytes[0])) << lead;
    }
}

TEST(Utf8WriteChar, WritesOneToThreeBytesAndATerminator) {
    const struct {
        std::uint16_t unit;
        const char* bytes;
    } cases[] = {
        {0x0041, "41"}, {0x007F, "7F"}, {0x0080, "C2 80"}, {0x07FF, "DF BF"},
        {0x0800, "E0 A0 80"}, {0x3042, "E3 81 82"},  // あ
        {0xD83D, "ED A0 BD"},  // a surrogate on its own
        {0xFFFF, "EF BF BF"},
    };
    for (const auto& c : cases) {
        const Bytes expected = Hex(c.bytes);
        std::uint8_t buffer[4] = {0x55, 0x55, 0x55, 0x55};
        const std::int32_t n = Utf8WriteChar(buffer, c.unit);
        ASSERT_EQ(n + 1, static_cast<std::int32_t>(expected.size())) << c.bytes;
        EXPECT_EQ(Bytes(buffer, buffer + n + 1), expected) << c.bytes;
    }
}

struct TextCase {
    const char* bytes;
    Units units;
};

// Also the rows of the UTF-16 -> UTF-8 table read backwards, where the round trip holds.
const TextCase kDecodeCases[] = {
    {"41 C3 A9 E3 81 82", u"A\u00E9\u3042"},            // Aéあ
    {"F0 9F 98 80", u"\U0001F600"},                       // 😀 as its surrogate pair
    {"F4 8F BF BF 41", u"\U0010FFFF" u"A"},               // the last code point
    {"F0 80 80 80 41", u"?A"},                            // overlong four bytes
    {"F4 90 80 80", u"?"},                                // beyond U+10FFFF
    {"F5 80 80 80", u"?"},                                //
    {"F0 9F 98 41 42", u"?B"},                            // bad continuation: still four bytes
    {"F8 88 80 80 80 41", u"?A"},                         // five bytes
    {"FF 41 41 41 41 41 42", u"?B"},                      // six bytes
    {"80 BF", u"\u0080\u00BF"},                           // stray continuation bytes
    {"C0 80 41", u"?A"},                                  // overlong zero keeps the rest
    {"41 E0 80 80 42", u"A?B"},                           // a three-byte zero keeps the rest
    {"C1 BF", u"\u007F"},                                 // overlong forms pass
    {"EF BB BF 41", u"\uFEFFA"},                          // BOM is an ordinary character
    {"EF BF BF", u"\uFFFF"},                              //
    {"ED A0 BD ED B8 80", u"\xD83D\xDE00"},               // encoded surrogates, one each
    {"C3", u"\u00C3"},                                    // cut by the terminator ...
    {"41 E3 81", u"A\u00E3\u0081"},                       // ... the lead, then the rest
    {"F0 9F 98", u"\u00F0\u009F\u0098"},                  //
    {"FC 80 80 80 80", u"\u00FC\u0080\u0080\u0080\u0080"},  //
};

TEST(Utf8ToWideText, DecodesByLeadByteClassAndPairsOnlyValidFourByteSequences) {
    for (const auto& c : kDecodeCases) {
        const Bytes bytes = Hex(c.bytes);
        EXPECT_EQ(Convert<char16_t>(Utf8ToWideText, bytes.data()), c.units) << c.bytes;
    }
}

const TextCase kEncodeCases[] = {
    {"41 C3 A9 E3 81 82 7F", u"A\u00E9\u3042\u007F"},  // Aéあ DEL
    {"C2 80 DF BF E0 A0 80", u"\u0080\u07FF\u0800"},    //
    {"EF BB BF EF BF BF", u"\uFEFF\uFFFF"},             //
    {"F0 9F 98 80", u"\U0001F600"},                     // 😀 from its pair
    {"F4 8F BF BF", u"\U0010FFFF"},                     //
    {"ED A0 BD 41", u"\xD83D" u"A"},                    // lone high surrogate
    {"ED B8 80", u"\xDE00"},                            // lone low surrogate
    {"ED B8 80 ED A0 BD", u"\xDE00\xD83D"},             // pair in the wrong order
    {"ED A0 BD F0 9F 98 80", u"\xD83D\xD83D\xDE00"},    // a high one, then a pair
};

TEST(WideToUtf8Text, WritesPairsAsFourBytesAndLoneSurrogatesAsThree) {
    for (const auto& c : kEncodeCases) {
        const Bytes expected = Hex(c.bytes);
        const auto out = Convert<std::uint8_t>(WideToUtf8Text, c.units.c_str());
        EXPECT_EQ(Bytes(out.begin(), out.end()), Bytes(expected.begin(), expected.end() - 1))
            << c.bytes;
    }
}

TEST(Utf8Codec, FailsExactlyWhenOutputAndTerminatorExceedCapacity) {
    for (const auto& c : kDecodeCases) {
        const Bytes bytes = Hex(c.bytes);
        ExpectCapacityBoundary<char16_t>(Utf8ToWideText, bytes.data());
    }
    for (const auto& c : kEncodeCases) ExpectCapacityBoundary<std::uint8_t>(WideToUtf8Text, c.units.c_str());
    const Bytes abc = Hex("61 62 63");  // abc
    EXPECT_EQ(Utf8ToWideText(nullptr, abc.data(), 0), 3);
    char16_t wide[4];
    EXPECT_EQ(Utf8ToWideText(wide, abc.data(), 3), -1);
    EXPECT_EQ(Utf8ToWideText(wide, abc.data(), 4), 3);
}

TEST(Utf8ToWideText, NeverWritesHalfAPairWhenOnlyOneUnitFits) {
    const Bytes bytes = Hex("41 F0 9F 98 80");  // A😀
    char16_t out[4] = {0x5555, 0x5555, 0x5555, 0x5555};
    EXPECT_EQ(Utf8ToWideText(out, bytes.data(), 3), -1);
    EXPECT_EQ(out[0], u'A');
    EXPECT_EQ(out[1], 0x5555);
}

// glibc's iconv as the oracle on valid text.
Bytes Iconv(const char* to, const char* from, const Bytes& input) {
    iconv_t cd = iconv_open(to, from);
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    Bytes out(input.size() * 4 + 16);
    char* in = reinterpret_cast<char*>(const_cast<std::uint8_t*>(input.data()));
    char* dst = reinterpret_cast<char*>(out.data());
    std::size_t inLeft = input.size(), outLeft = out.size();
    EXPECT_NE(iconv(cd, &in, &inLeft, &dst, &outLeft), static_cast<std::size_t>(-1));
    iconv(cd, nullptr, nullptr, &dst, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

Bytes Utf16Le(const Units& units) {
    Bytes bytes;
    for (char16_t u : units) {
        bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    return bytes;
}

void ExpectAgreesWithIconv(const Units& units) {
    const Bytes reference = Iconv("UTF-8", "UTF-16LE", Utf16Le(units));
    const auto ours = Convert<std::uint8_t>(WideToUtf8Text, units.c_str());
    ASSERT_EQ(Bytes(ours.begin(), ours.end()), reference);
    Bytes terminated = reference;
    terminated.push_back(0);
    EXPECT_EQ(Convert<char16_t>(Utf8ToWideText, terminated.data()), units);
}

TEST(Utf8Codec, AgreesWithIconvOnEveryBmpCharacter) {
    Units units;
    for (char32_t cp = 1; cp <= 0xFFFF; ++cp) {
        if (cp < 0xD800 || cp > 0xDFFF) units.push_back(static_cast<char16_t>(cp));
    }
    ExpectAgreesWithIconv(units);
}

TEST(Utf8Codec, AgreesWithIconvOnSupplementaryCharacters) {
    Units units;
    for (char32_t cp = 0x10000; cp <= 0x10FFFF; cp += 0x3F7) {
        // Both ends of each high surrogate's range, and a neighbour in ASCII.
        units.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
        units.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        units += u"a\U0010FFFF";
    }
    ExpectAgreesWithIconv(units);
}

}  // namespace
}  // namespace ruv
