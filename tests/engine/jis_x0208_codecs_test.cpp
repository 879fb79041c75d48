// The two codecs of JIS X 0208 beside Shift_JIS, ISO-2022-JP and EUC-JP: every
// row and cell there and back, iconv on every assigned character, and the IBM
// extensions through their code page 932 equivalents.  Rows of single
// conversions are in tests/data/codec_rows.tsv.
#include <gtest/gtest.h>

#include "codec_cases.h"
#include "engine/euc_codec.h"
#include "engine/jis_codec.h"
#include "platform/cp932.h"

namespace ruv {
namespace {

struct Road {
    const char* name;  // iconv's
    test::ByteCodec there, back;
    std::size_t escapeBytes;  // of a text of kanji only
};

class JisX0208Codec : public testing::TestWithParam<Road> {};

TEST_P(JisX0208Codec, RoundTripsEveryRowAndCellAndAgreesWithIconv) {
    const Road& road = GetParam();
    const auto sjis = test::AllJisX0208();
    const auto encoded = test::Convert(road.there, sjis);
    EXPECT_EQ(encoded.size(), sjis.size() + road.escapeBytes);
    EXPECT_EQ(test::Convert(road.back, encoded), sjis);

    test::Iconv there(road.name, "SHIFT_JIS"), back("SHIFT_JIS", road.name);
    ASSERT_TRUE(there.ok() && back.ok());
    int compared = 0;
    for (int row = 1; row <= 84; ++row) {
        for (int cell = 1; cell <= 94; ++cell) {
            const auto one = test::SjisOf(row, cell);
            const auto expected = there(one);
            if (expected.empty()) continue;  // unassigned cell
            ++compared;
            ASSERT_EQ(test::Convert(road.there, one), expected) << row << "-" << cell;
            ASSERT_EQ(test::Convert(road.back, expected), back(expected)) << row << "-" << cell;
        }
    }
    EXPECT_GE(compared, 6879);  // every character of JIS X 0208
}

// The IBM extensions FA40-FC4B have no JIS row of their own: written through
// their code page 932 equivalents, each reads back as the same character.
TEST_P(JisX0208Codec, BringsEveryIbmExtensionBackAsTheSameCharacter) {
    int extensions = 0;
    for (unsigned code = 0xFA40; code <= 0xFCFC; ++code) {
        const test::Bytes sjis = {static_cast<std::uint8_t>(code >> 8),
                                  static_cast<std::uint8_t>(code), 0};
        char16_t unit[2] = {};
        if (!IsSjisTrailByte(sjis[1]) || Cp932ToUtf16(unit, sjis.data(), 2) != 1 ||
            unit[0] == u'\u30FB') {
            continue;  // unassigned
        }
        ++extensions;
        auto again = test::Convert(GetParam().back, test::Convert(GetParam().there, {sjis[0], sjis[1]}));
        again.push_back(0);
        char16_t read[2] = {};
        EXPECT_EQ(Cp932ToUtf16(read, again.data(), 2), 1) << std::hex << code;
        EXPECT_EQ(read[0], unit[0]) << std::hex << code;
    }
    EXPECT_EQ(extensions, 388);
}

INSTANTIATE_TEST_SUITE_P(Codecs, JisX0208Codec,
                         testing::Values(Road{"ISO-2022-JP", SjisToJisText, JisToSjisText, 6},
                                         Road{"EUC-JP", SjisToEucText, EucToSjisText, 0}),
                         [](const auto& info) { return info.index == 0 ? "Jis" : "Euc"; });

}  // namespace
}  // namespace ruv
