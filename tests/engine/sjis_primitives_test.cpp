#include "engine/sjis_primitives.h"

#include <gtest/gtest.h>

#include "codec_cases.h"

namespace ruv {
namespace {

TEST(SjisReadChar, FoldsHalfWidthKanaAndJoinsSoundMarksWhereACombinedFormExists) {
    const struct {
        const char* input;
        std::uint16_t value;
        std::int32_t length;
    } rows[] = {
        {"B6 DE", 0x834B, 2},  // ｶﾞ -> ガ
        {"CA DF", 0x8370, 2},  // ﾊﾟ -> パ
        {"B3 DE", 0x8394, 2},  // ｳﾞ -> ヴ
        {"B3 DF", 0x8345, 1},  // ｳﾟ -> ウ, the mark read on its own next
        {"B1 DE", 0x8341, 1},  // ｱﾞ -> ア
        {"A6 DE", 0x8392, 1},  // ｦﾞ -> ヲ
        {"DE DE", 0x814A, 1},  // ﾞﾞ -> ゛
        {"DF", 0x814B, 1},     // ﾟ -> ゜
        {"88 9F", 0x889F, 2},  // 亜
        {"81 3F", 0x0081, 1},  // a lead byte takes only a trail byte: 40-7E,
        {"81 40", 0x8140, 2},  // 80-FC
        {"81 7F", 0x0081, 1},
        {"81 FC", 0x81FC, 2},
        {"81 FD", 0x0081, 1},
        {"88", 0x0088, 1},     // a lone lead byte never takes the terminator
        {"A0", 0x00A0, 1},     // single bytes
        {"", 0x0000, 1},       // the terminator
    };
    for (const auto& row : rows) {
        const auto text = test::Hex(std::string(row.input) + " 00");
        std::int32_t length = 0;
        EXPECT_EQ(SjisReadChar(text.data(), length), row.value) << row.input;
        EXPECT_EQ(length, row.length) << row.input;
    }
}

TEST(KanaTables, SingleFormsAreTheFullWidthKatakanaThatIconvReads) {
    test::Bytes sjis;
    for (unsigned b = 0xA1; b <= 0xDF; ++b) {
        sjis.push_back(static_cast<std::uint8_t>(KanaSingleTable[b - 0xA0] >> 8));
        sjis.push_back(static_cast<std::uint8_t>(KanaSingleTable[b - 0xA0]));
    }
    test::Iconv toUtf8("UTF-8", "SHIFT_JIS");
    EXPECT_EQ(
        toUtf8(sjis),
        test::Text(
            "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ"
            "ハヒフヘホマミムメモヤユヨラリルレロワン゛゜"));
}

TEST(JisSjisTransforms, RoundTripEveryRowAndCellAndEveryPairBelowTheUserArea) {
    for (unsigned jis = 0x2121; jis <= 0x7E7E; ++jis) {
        if ((jis & 0xFF) < 0x21 || (jis & 0xFF) > 0x7E) continue;
        const std::uint16_t sjis = JisToSjisChar(static_cast<std::uint16_t>(jis));
        ASSERT_TRUE(IsSjisLeadByte(sjis >> 8)) << std::hex << jis;
        ASSERT_EQ(SjisToJisChar(sjis), jis) << std::hex << jis;
    }
    for (unsigned sjis = 0x8140; sjis <= 0xEFFC; ++sjis) {
        if (!IsSjisLeadByte(sjis >> 8) || (sjis & 0xFF) < 0x40 || (sjis & 0xFF) > 0xFC ||
            (sjis & 0xFF) == 0x7F)
            continue;
        ASSERT_EQ(JisToSjisChar(SjisToJisChar(static_cast<std::uint16_t>(sjis))), sjis)
            << std::hex << sjis;
    }
}

}  // namespace
}  // namespace ruv
