#include "engine/jis_codec.h"

#include <gtest/gtest.h>

#include "codec_cases.h"

namespace ruv {
namespace {

// Rows of single conversions are in tests/data/codec_rows.tsv.

TEST(JisCodec, RoundTripsEveryRowAndCell) {
    const auto sjis = test::AllJisX0208();
    const auto jis = test::Convert(SjisToJisText, sjis);
    EXPECT_EQ(jis.size(), sjis.size() + 6);
    EXPECT_EQ(test::Convert(JisToSjisText, jis), sjis);
}

TEST(JisCodec, AgreesWithIconvOnJisX0208) {
    test::ExpectAgreesWithIconvOnJisX0208("ISO-2022-JP", SjisToJisText, JisToSjisText);
}

}  // namespace
}  // namespace ruv
