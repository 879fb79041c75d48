#include "engine/utf8_codec.h"

#include <gtest/gtest.h>

#include "codec_cases.h"

namespace ruv {
namespace {

using test::Hex;

// Rows of text conversions are in tests/data/codec_rows.tsv.

TEST(Utf8ReadChar, TakesOneSequenceOrTheMalformedPartOfOne) {
    const struct {
        const char* bytes;
        std::uint16_t value;
        std::int32_t length;
    } rows[] = {
        {"E3 81 82", 0x3042, 3},     // あ
        {"F0 9F 98 80", 0xFFFF, 4},  // 😀, beyond 16 bits
        {"E3 81 0A", '?', 2},        // truncated: the LF stays
        {"E0 80 AF", '?', 1},        // overlong
        {"41", 0x41, 1},
    };
    for (const auto& row : rows) {
        const auto bytes = test::Hex(std::string(row.bytes) + " 00");
        std::int32_t length = 0;
        EXPECT_EQ(Utf8ReadChar(bytes.data(), &length), row.value) << row.bytes;
        EXPECT_EQ(length, row.length) << row.bytes;
    }
}

TEST(Utf8WriteChar, WritesOneToThreeBytesAndATerminator) {
    const struct {
        std::uint16_t unit;
        const char* bytes;
    } rows[] = {
        {0x007F, "7F 00"}, {0x0080, "C2 80 00"}, {0xD83D, "3F 00"}, {0xFFFF, "EF BF BF 00"}};
    for (const auto& row : rows) {
        std::uint8_t buffer[4] = {0x55, 0x55, 0x55, 0x55};
        const std::int32_t n = Utf8WriteChar(buffer, row.unit);
        EXPECT_EQ(test::Bytes(buffer, buffer + n + 1), Hex(row.bytes)) << row.bytes;
    }
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
