#include "engine/euc_codec.h"

#include <gtest/gtest.h>

#include "codec_cases.h"
#include "engine/jis_codec.h"
#include "platform/cp932.h"

namespace ruv {
namespace {

// Rows of single conversions are in tests/data/codec_rows.tsv.

TEST(EucCodec, RoundTripsEveryRowAndCell) {
    const auto sjis = test::AllJisX0208();
    const auto euc = test::Convert(SjisToEucText, sjis);
    EXPECT_EQ(euc.size(), sjis.size());
    EXPECT_EQ(test::Convert(EucToSjisText, euc), sjis);
}

TEST(EucCodec, AgreesWithIconvOnJisX0208) {
    test::ExpectAgreesWithIconvOnJisX0208("EUC-JP", SjisToEucText, EucToSjisText);
}

// The IBM extensions FA40-FC4B have no JIS row of their own: written through
// their code page 932 equivalents, each reads back as the same character.
TEST(EucAndJisCodecs, BringEveryIbmExtensionBackAsTheSameCharacter) {
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
        const std::pair<test::ByteCodec, test::ByteCodec> roads[] = {
            {SjisToEucText, EucToSjisText}, {SjisToJisText, JisToSjisText}};
        for (const auto& [there, back] : roads) {
            auto again = test::Convert(back, test::Convert(there, {sjis[0], sjis[1]}));
            again.push_back(0);
            char16_t read[2] = {};
            EXPECT_EQ(Cp932ToUtf16(read, again.data(), 2), 1) << std::hex << code;
            EXPECT_EQ(read[0], unit[0]) << std::hex << code;
        }
    }
    EXPECT_EQ(extensions, 388);
}

}  // namespace
}  // namespace ruv
