#include "engine/utf8_codec.h"

#include <gtest/gtest.h>

#include "codec_cases.h"

namespace ruv {
namespace {

using test::Hex;
using test::Wide;

TEST(Utf8ReadChar, TakesLengthFromLeadByteAndStopsAtTheTerminator) {
    const struct {
        const char* bytes;
        std::uint16_t value;
        std::int32_t length;
    } rows[] = {
        {"E3 81 82", 0x3042, 3},           // あ
        {"E3 41 42", 0x3042, 3},           // continuation bits masked off untested
        {"C0 80", 0x0000, 2},              // overlong zero
        {"80", 0x0080, 1},                 // stray continuation byte
        {"F0 9F 98 80", 0xFFFF, 4},        // 😀, beyond 16 bits
        {"FE 80 80 80 80 80", 0xFFFF, 6},  // FE and FF count as six-byte leads
        {"E3 81", 0x00E3, 1},              // cut by the terminator: the lead alone
        {"FC 80 80 80 80", 0x00FC, 1},
    };
    for (const auto& row : rows) {
        const auto bytes = test::Hex(std::string(row.bytes) + " 00");
        std::int32_t length = 0;
        EXPECT_EQ(Utf8ReadChar(bytes.data(), &length), row.value) << row.bytes;
        EXPECT_EQ(length, row.length) << row.bytes;
        EXPECT_EQ(Utf8ReadChar(bytes.data(), nullptr), row.value) << row.bytes;
    }
}

TEST(Utf8WriteChar, WritesOneToThreeBytesAndATerminator) {
    const struct {
        std::uint16_t unit;
        const char* bytes;
    } rows[] = {{0x007F, "7F 00"},       {0x0080, "C2 80 00"},    {0x07FF, "DF BF 00"},
                {0x0800, "E0 A0 80 00"}, {0xD83D, "ED A0 BD 00"}, {0xFFFF, "EF BF BF 00"}};
    for (const auto& row : rows) {
        std::uint8_t buffer[4] = {0x55, 0x55, 0x55, 0x55};
        const std::int32_t n = Utf8WriteChar(buffer, row.unit);
        EXPECT_EQ(test::Bytes(buffer, buffer + n + 1), Hex(row.bytes)) << row.bytes;
    }
}

TEST(Utf8ToWideText, DecodesByLeadByteClassAndPairsOnlyValidFourByteSequences) {
    const struct {
        const char* bytes;
        std::u16string units;
    } rows[] = {
        {"41 C3 A9 E3 81 82", u"A\u00E9\u3042"},  // Aéあ
        {"F0 9F 98 80", u"\U0001F600"},           // 😀 as its surrogate pair
        {"F4 8F BF BF 41", u"\U0010FFFFA"},       // the last code point
        {"F0 80 80 80 41", u"?A"},                // overlong four bytes
        {"F4 90 80 80", u"?"},                    // beyond U+10FFFF
        {"F0 9F 98 41 42", u"?B"},                // bad continuation: still four bytes
        {"F8 88 80 80 80 41", u"?A"},             // five bytes
        {"FF 41 41 41 41 41 42", u"?B"},          // six bytes
        {"80 BF", u"\u0080\u00BF"},               // stray continuation bytes
        {"C0 80 41", u"?A"},                      // overlong zero keeps the rest
        {"41 E0 80 80 42", u"A?B"},               // so does a three-byte zero
        {"C1 BF", u"\u007F"},                     // other overlong forms pass
        {"EF BB BF 41", u"\uFEFFA"},              // BOM is an ordinary character
        {"ED A0 BD ED B8 80", u"\xD83D\xDE00"},   // encoded surrogates, one each
        {"41 E3 81", u"A\u00E3\u0081"},           // cut by the terminator: the lead,
        {"F0 9F 98", u"\u00F0\u009F\u0098"},      // then the rest
    };
    for (const auto& row : rows)
        EXPECT_EQ(test::Convert(Utf8ToWideText, Hex(row.bytes)), Wide(row.units)) << row.bytes;
}

TEST(WideToUtf8Text, WritesPairsAsFourBytesAndLoneSurrogatesAsThree) {
    const struct {
        std::u16string units;
        const char* bytes;
    } rows[] = {
        {u"A\u00E9\u3042\u007F", "41 C3 A9 E3 81 82 7F"},  // Aéあ DEL
        {u"\u0080\u07FF\u0800", "C2 80 DF BF E0 A0 80"},
        {u"\U0001F600", "F0 9F 98 80"},  // 😀 from its pair
        {u"\U0010FFFF", "F4 8F BF BF"},
        {u"\xD83D\x41", "ED A0 BD 41"},                   // lone high surrogate
        {u"\xDE00", "ED B8 80"},                          // lone low surrogate
        {u"\xDE00\xD83D", "ED B8 80 ED A0 BD"},           // pair in the wrong order
        {u"\xD83D\xD83D\xDE00", "ED A0 BD F0 9F 98 80"},  // a high one, then a pair
        {u"", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(test::Convert(WideToUtf8Text, Wide(row.units)), Hex(row.bytes)) << row.bytes;
}

TEST(Utf8ToWideText, NeverWritesHalfAPairWhenOnlyOneUnitFits) {
    const auto bytes = Hex("41 F0 9F 98 80 00");  // A😀
    char16_t out[4] = {0x5555, 0x5555, 0x5555, 0x5555};
    EXPECT_EQ(Utf8ToWideText(out, bytes.data(), 3), -1);
    EXPECT_EQ(out[0], u'A');
    EXPECT_EQ(out[1], 0x5555);
}

TEST(Utf8Codec, AgreesWithIconvOnEveryBmpCharacterAndSupplementarySamples) {
    test::Units units;
    for (char32_t cp = 1; cp <= 0xFFFF; ++cp) {
        if (cp < 0xD800 || cp > 0xDFFF) units.push_back(static_cast<char16_t>(cp));
    }
    for (char32_t cp = 0x10000; cp <= 0x10FFFF; cp += 0x3F7) {
        units.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
        units.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        units.push_back(u'a');
    }
    const auto reference = test::Iconv("UTF-8", "UTF-16LE")(test::Le(units));
    ASSERT_FALSE(reference.empty());
    EXPECT_EQ(test::Convert(WideToUtf8Text, units), reference);
    EXPECT_EQ(test::Convert(Utf8ToWideText, reference), units);
}

}  // namespace
}  // namespace ruv
