#include "engine/utf7_codec.h"

#include <gtest/gtest.h>

#include "codec_cases.h"

namespace ruv {
namespace {

using test::Text;
using test::Wide;

TEST(Utf7Codec, EncodesConservativelyClosesEveryRunAndDecodesItsOwnText) {
    const struct {
        std::u16string units;
        std::string text;
    } rows[] = {
        {u"\u65E5\u672C\n", "+ZeVnLA-\n"},  // 日本 LF
        {u"a+b", "a+-b"},
        {u"Hi!", "Hi+ACE-"},  // optional direct characters are encoded
        {u"@", "@"},          // commercial at is direct
        {u"a~b", "a+AH4-b"},
        {u"\u65E5+\n", "+ZeUAKw-\n"},           // a plus sign joins the open run
        {u"\u65E5-", "+ZeU--"},                 // the closing minus, then a direct one
        {u"\u65E5\u672C\u8A9E", "+ZeVnLIqe-"},  // 日本語: three units, ten bytes
        {u"\U0001F600", "+2D3eAA-"},            // 😀 as two units
        {u"\t\r\n", "\t\r\n"},
        {u"", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(test::Convert(WideToUtf7Text, Wide(row.units)), Text(row.text)) << row.text;
        EXPECT_EQ(test::Convert(Utf7ToWideText, Text(row.text)), Wide(row.units)) << row.text;
    }
}

TEST(Utf7ToWideText, EndsRunsAtAnyNonDigitOrTheTerminator) {
    const struct {
        std::string text;
        std::u16string units;
    } rows[] = {
        {"a+ b", u"a b"},                // "+" before a non-digit vanishes
        {"abc+", u"abc"},                // ... and before the terminator
        {"+ZeVnLA.", u"\u65E5\u672C."},  // a run ended without "-"
        {"+ZeVnLA", u"\u65E5\u672C"},    // ... or by the terminator
        {"+Ze", u"\u65E0"},              // a digit looks ahead no further than the end
        {"+Z", u""},                     // a lone high byte is dropped
        {"!#[]", u"!#[]"},               // optional characters stand for themselves
    };
    for (const auto& row : rows)
        EXPECT_EQ(test::Convert(Utf7ToWideText, Text(row.text)), Wide(row.units)) << row.text;
}

// The strict reading refuses runs that no encoder writes and reads the rest
// as the lenient one does.
TEST(Utf7ToWideTextStrict, RefusesMalformedRuns) {
    const struct {
        const char* text;
        bool wellFormed;
    } rows[] = {
        {"C++", false},           // "+" and one digit: 6 bits left over
        {"a+b=c", false},         // the same, ended by "="
        {"+81-3", false},         // 12 bits left over
        {"+tax", false},          // 2 bits left over, not zero
        {"2 + 1", false},         // "+" before a space
        {"abc+", false},          // "+" before the end
        {"+ZeVn-", false},        // 8 bits left over
        {"+ZeU-", true},          // 日: 2 zero bits left over
        {"+ZeVnLA.", true},       // 日本: 4 zero bits, ended by a non-digit
        {"+ZeVnLIqe-", true},     // 日本語: no bits left over
        {"a+-b", true},           // the plus sign
    };
    for (const auto& row : rows) {
        const auto* text = reinterpret_cast<const std::uint8_t*>(row.text);
        char16_t strict[16], lenient[16];
        const std::int32_t n = Utf7ToWideTextStrict(strict, text, 16);
        ASSERT_GE(Utf7ToWideText(lenient, text, 16), 0) << row.text;
        if (!row.wellFormed) {
            EXPECT_EQ(n, -1) << row.text;
        } else {
            EXPECT_EQ(std::u16string(strict), std::u16string(lenient)) << row.text;
        }
    }
}

// Bytes that must be encoded, and a run that decodes to U+0000, which would
// cut its line short on the roads after the decoder.
TEST(Utf7ToWideText, RefusesBytesThatMustBeEncodedOutsideRunsAndZeroUnits) {
    for (const char* text : {"\xE9", "a~", "\x01", "+ZeU\xE9", "a+AAA-b"}) {  // é in Latin-1; after a run too
        char16_t out[8];
        EXPECT_EQ(Utf7ToWideText(nullptr, reinterpret_cast<const std::uint8_t*>(text), 0), -1)
            << text;
        EXPECT_EQ(Utf7ToWideText(out, reinterpret_cast<const std::uint8_t*>(text), 8), -1) << text;
    }
}

// Every BMP character but the surrogates, in runs of one to four between
// printable ASCII characters (the pairs of U+1F600 too), so that runs open and
// close around every kind of neighbour.
test::Units MixedText(char32_t first, char32_t last) {
    test::Units units;
    int k = 0;
    for (char32_t cp = first; cp <= last; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        units.push_back(static_cast<char16_t>(cp));
        if (++k % 5 == 0) units.push_back(static_cast<char16_t>(0x20 + k % 0x5F));
        if (k % 997 == 0) units.insert(units.end(), {0xD83D, 0xDE00});
    }
    return units;
}

// The texts differ: our runs always end with "-" and we write "@" directly,
// while iconv writes "@" in a run and leaves out "-" before a non-digit. Both
// refuse "~" and "\" outside a run, so each side reads the other's text.
TEST(Utf7Codec, AgreesWithIconvInBothDirections) {
    test::Iconv toUtf7("UTF-7", "UTF-16LE"), fromUtf7("UTF-16LE", "UTF-7");
    for (const auto& units : {MixedText(1, 0x7F), MixedText(1, 0xFFFF)}) {
        EXPECT_EQ(fromUtf7(test::Convert(WideToUtf7Text, units)), test::Le(units));
        EXPECT_EQ(test::Convert(Utf7ToWideText, toUtf7(test::Le(units))), units);
    }
}

}  // namespace
}  // namespace ruv
