#include "engine/utf7_codec.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ruv {
namespace {

using Units = std::u16string;

const std::uint8_t* Bytes(const std::string& text) {
    return reinterpret_cast<const std::uint8_t*>(text.c_str());
}

// The encoder's output as text, after checking measure, terminator and capacity.
std::string Encode(const Units& units) {
    const std::int32_t needed = WideToUtf7Text(nullptr, units.c_str(), 0);
    std::string out(static_cast<std::size_t>(needed) + 1, '\x55');
    auto* data = reinterpret_cast<std::uint8_t*>(out.data());
    EXPECT_EQ(WideToUtf7Text(data, units.c_str(), needed), -1);
    EXPECT_EQ(WideToUtf7Text(data, units.c_str(), needed + 1), needed);
    EXPECT_EQ(out[needed], '\0');
    out.resize(static_cast<std::size_t>(needed));
    return out;
}

// The decoded units, or u"-1" when the decoder refuses the text.
Units Decode(const std::string& text) {
    const std::int32_t needed = Utf7ToWideText(nullptr, Bytes(text), 0);
    if (needed < 0) return u"-1";
    Units out(static_cast<std::size_t>(needed) + 1, u'\x5555');
    EXPECT_EQ(Utf7ToWideText(out.data(), Bytes(text), needed), -1);
    EXPECT_EQ(Utf7ToWideText(out.data(), Bytes(text), needed + 1), needed);
    EXPECT_EQ(out[needed], u'\0');
    out.resize(static_cast<std::size_t>(needed));
    return out;
}

TEST(Utf7Tables, ClassifyEveryAsciiCharacterAndValueEveryDigit) {
    const std::string direct = "\t\n\r '(),-./0123456789:?@ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                               "abcdefghijklmnopqrstuvwxyz";
    const std::string optional = "!\"#$%&*;<=>[]^_`{|}";
    for (int c = 0; c < 128; ++c) {
        Utf7Class expected = UTF7_ENCODED;
        if (c == '+') expected = UTF7_PLUS;
        if (c != 0 && direct.find(char(c)) != std::string::npos) expected = UTF7_DIRECT;
        if (c != 0 && optional.find(char(c)) != std::string::npos) expected = UTF7_OPTIONAL;
        EXPECT_EQ(Utf7CharClass[c], expected) << c;
        const char* digit = c == 0 ? nullptr : std::char_traits<char>::find(Utf7Alphabet, 64, char(c));
        EXPECT_EQ(Utf7DigitValue[c], digit ? digit - Utf7Alphabet : 255) << c;
    }
    for (int b = 0x80; b < 0x100; ++b) EXPECT_FALSE(IsUtf7Digit(static_cast<std::uint8_t>(b)));
}

struct Case {
    Units units;
    std::string text;
};

// Encoding these gives exactly the text; decoding the text gives the units back.
const Case kRoundTrips[] = {
    {u"\u65E5\u672C\n", "+ZeVnLA-\n"},  // 日本 LF
    {u"A", "A"},                          //
    {u"+", "+-"},                         //
    {u"a+b", "a+-b"},                     //
    {u"Hi!", "Hi+ACE-"},                  // optional direct characters are encoded
    {u"@", "@"},                          // commercial at is direct
    {u"a~b", "a+AH4-b"},                  //
    {u"\\", "+AFw-"},                     //
    {u"\u65E5+\n", "+ZeUAKw-\n"},         // a plus sign joins the open run
    {u"\u65E5-", "+ZeU--"},               // the closing minus, then a direct one
    {u"\u65E5\u672C\u8A9E", "+ZeVnLIqe-"},  // 日本語: three units, ten bytes
    {u"\U0001F600", "+2D3eAA-"},          // 😀 as two units
    {u"\xD800 ", "+2AA- "},               // a lone surrogate is just a unit
    {u"\t\r\n", "\t\r\n"},                //
    {u"", ""},                            //
};

TEST(WideToUtf7Text, EncodesConservativelyAndAlwaysClosesRuns) {
    for (const auto& c : kRoundTrips) EXPECT_EQ(Encode(c.units), c.text) << c.text;
}

TEST(Utf7ToWideText, DecodesWhatTheEncoderWrites) {
    for (const auto& c : kRoundTrips) EXPECT_TRUE(Decode(c.text) == c.units) << c.text;
}

TEST(Utf7ToWideText, EndsRunsAtAnyNonDigitAndRefusesUnsafeBytesOutsideRuns) {
    const Case cases[] = {
        {u"a b", "a+ b"},                    // "+" before a non-digit vanishes
        {u"abc", "abc+"},                    //
        {u"\u65E5\u672C.", "+ZeVnLA."},      // a run ended without "-"
        {u"\u65E5\u672C-", "+ZeVnLA--"},     //
        {u"\u65E5\u672C", "+ZeVnLA"},        // ... or by the terminator
        {u"\u65E0", "+Ze"},                  // a digit looks ahead no further than the end
        {u"", "+Z"},                         // a lone high byte is dropped
        {u"!#[]", "!#[]"},                   // optional characters stand for themselves
        {u"-1", "\xE9"},                     // é in Latin-1
        {u"-1", "a~"},                       //
        {u"-1", "a\\b"},                     //
        {u"-1", "\x01"},                     //
        {u"-1", "\x7F"},                     //
        {u"-1", "+ZeU\xE9"},                 // the byte after the run is still refused
    };
    for (const auto& c : cases) EXPECT_TRUE(Decode(c.text) == c.units) << c.text;
}

TEST(Utf7DecodeRun, ReportsTheBytesItTook) {
    const struct {
        const char* text;
        std::int32_t units;
        std::int32_t consumed;
    } cases[] = {
        {"+-x", 1, 2}, {"+ZeU-x", 1, 5}, {"+ZeU.x", 1, 4}, {"+ x", 0, 1}, {"+", 0, 1},
    };
    for (const auto& c : cases) {
        char16_t out[4];
        std::int32_t consumed = -1;
        EXPECT_EQ(Utf7DecodeRun(out, Bytes(c.text), 4, &consumed), c.units) << c.text;
        EXPECT_EQ(consumed, c.consumed) << c.text;
        EXPECT_EQ(Utf7DecodeRun(nullptr, Bytes(c.text), 0, nullptr), c.units) << c.text;
    }
    char16_t one[1] = {0x5555};
    EXPECT_EQ(Utf7DecodeRun(one, Bytes("+-"), 1, nullptr), -1);  // no room for the terminator
    EXPECT_EQ(one[0], 0x5555);
}

TEST(Utf7EncodeRun, WritesFiveEightOrTenBytesForOneTwoOrThreeUnits) {
    const char16_t units[] = {0x65E5, 0x672C, 0x8A9E};
    for (std::int32_t n : {1, 2, 3}) {
        EXPECT_EQ(Utf7EncodeRun(nullptr, units, 0, n), n == 1 ? 5 : n == 2 ? 8 : 10);
    }
    std::uint8_t out[12];
    std::fill(std::begin(out), std::end(out), 0x55);
    EXPECT_EQ(Utf7EncodeRun(out, units, 1, 1), -1);  // no room even for the plus sign
    EXPECT_EQ(out[0], 0x55);
    EXPECT_EQ(Utf7EncodeRun(out, units, 5, 1), -1);
    EXPECT_EQ(Utf7EncodeRun(out, units, 6, 1), 5);
    EXPECT_STREQ(reinterpret_cast<const char*>(out), "+ZeU-");
}

// glibc's iconv as the oracle on valid UTF-16.
std::string Iconv(const char* to, const char* from, const std::string& input) {
    iconv_t cd = iconv_open(to, from);
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    std::string out(input.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(input.data());
    char* dst = out.data();
    std::size_t inLeft = input.size(), outLeft = out.size();
    EXPECT_NE(iconv(cd, &in, &inLeft, &dst, &outLeft), static_cast<std::size_t>(-1)) << to;
    iconv(cd, nullptr, nullptr, &dst, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

std::string Utf16Le(const Units& units) {
    std::string bytes;
    for (char16_t u : units) {
        bytes.push_back(static_cast<char>(u & 0xFF));
        bytes.push_back(static_cast<char>(u >> 8));
    }
    return bytes;
}

// Every BMP character but the surrogates, in runs of one to four between
// printable ASCII characters (the pairs from U+1F600 too), so that runs open
// and close around every kind of neighbour.
Units MixedText(char32_t first, char32_t last) {
    Units units;
    int k = 0;
    for (char32_t cp = first; cp <= last; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        units.push_back(static_cast<char16_t>(cp));
        if (++k % 5 == 0) units.push_back(static_cast<char16_t>(0x20 + k % 0x5F));
        if (k % 997 == 0) units += u"\U0001F600";
    }
    return units;
}

// The texts differ where expected: our runs always end with "-" and we write "@"
// directly, while iconv writes "@" in a run and leaves out "-" before a
// character that is no digit.  Both refuse "~" and "\" outside a run, so each
// side decodes the other's text to the same units.
TEST(Utf7Codec, AgreesWithIconvInBothDirections) {
    const Units units = MixedText(1, 0xFFFF);
    const Units ascii = MixedText(1, 0x7F);
    for (const Units* text : {&ascii, &units}) {
        EXPECT_EQ(Iconv("UTF-16LE", "UTF-7", Encode(*text)), Utf16Le(*text));
        EXPECT_TRUE(Decode(Iconv("UTF-7", "UTF-16LE", Utf16Le(*text))) == *text);
    }
}

}  // namespace
}  // namespace ruv
