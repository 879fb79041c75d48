#include "engine/utf8_codec.h"

#include <gtest/gtest.h>

#include "codec_cases.h"

namespace ruv {
namespace {

using test::Hex;

// Rows of text conversions are in tests/data/codec_rows.tsv.

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
