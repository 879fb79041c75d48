#include "engine/utf7_codec.h"

#include <gtest/gtest.h>

#include "codec_cases.h"

namespace ruv {
namespace {


// Rows of single conversions are in tests/data/codec_rows.tsv.

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
