#include "engine/sjis_primitives.h"

#include <gtest/gtest.h>

#include "codec_cases.h"
#include "engine/jis_to_sjis_table.h"
#include "engine/sjis_to_jis_table.h"

namespace ruv {
namespace {

struct ReadCase {
    const char* input;
    std::uint16_t value;
    std::int32_t length;
};

TEST(SjisReadChar, FoldsHalfWidthKanaAndJoinsSoundMarksWhereACombinedFormExists) {
    const ReadCase rows[] = {
        {"B6 DE", 0x834B, 2},  // ｶﾞ -> ガ
        {"CA DF", 0x8370, 2},  // ﾊﾟ -> パ
        {"B3 DE", 0x8394, 2},  // ｳﾞ -> ヴ
        {"B3 DF", 0x8345, 1},  // ｳﾟ -> ウ, the mark read on its own next
        {"B1 DE", 0x8341, 1},  // ｱﾞ -> ア
        {"A6 DE", 0x8392, 1},  // ｦﾞ -> ヲ
        {"DC DE", 0x838F, 1},  // ﾜﾞ -> ワ
        {"DE DE", 0x814A, 1},  // ﾞﾞ -> ゛
        {"DF", 0x814B, 1},     // ﾟ -> ゜
        {"B1", 0x8341, 1},     // ｱ before the terminator
        {"88 9F", 0x889F, 2},  // 亜
        {"81 0D", 0x810D, 2},  // a lead byte takes any second byte
        {"FC FC", 0xFCFC, 2},  // user-defined area
        {"88", 0x0088, 1},     // a lone lead byte never takes the terminator
        {"E0", 0x00E0, 1},     //
        {"80", 0x0080, 1},     // single bytes
        {"A0", 0x00A0, 1},     //
        {"FD", 0x00FD, 1},     //
        {"FF", 0x00FF, 1},     //
        {"41", 0x0041, 1},     // A
        {"", 0x0000, 1},       // the terminator
    };
    for (const auto& row : rows) {
        const auto text = test::Terminated(test::Hex(row.input));
        std::int32_t length = 0;
        EXPECT_EQ(SjisReadChar(text.data(), length), row.value) << row.input;
        EXPECT_EQ(length, row.length) << row.input;
    }
}

TEST(KanaTables, SingleFormsAreTheFullWidthKatakanaInByteOrder) {
    // 0xA1-0xDF, checked against text through glibc's Shift_JIS decoder.
    const std::string expected =
        "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘ"
        "ホ"
        "マミムメモヤユヨラリルレロワン゛゜";
    std::vector<std::uint8_t> sjis;
    for (unsigned b = 0xA1; b <= 0xDF; ++b) {
        const std::uint16_t value = KanaSingleTable[b - 0xA0];
        sjis.push_back(static_cast<std::uint8_t>(value >> 8));
        sjis.push_back(static_cast<std::uint8_t>(value));
    }
    test::Iconv toUtf8("UTF-8", "SHIFT_JIS");
    ASSERT_TRUE(toUtf8.ok());
    const auto utf8 = toUtf8(sjis);
    EXPECT_EQ(std::string(utf8.begin(), utf8.end()), expected);
    EXPECT_EQ(KanaSingleTable[0], 0);
}

TEST(KanaTables, CombinedFormsFollowTheirPlainKanaExceptVu) {
    // Full-width voiced kana sit one after the plain kana, semi-voiced two after.
    int voiced = 0, semiVoiced = 0;
    for (unsigned i = 0; i < 64; ++i) {
        if (const std::uint16_t v = KanaVoicedTable[i]; v != 0) {
            ++voiced;
            EXPECT_EQ(v, i == 0xB3 - 0xA0 ? 0x8394 : KanaSingleTable[i] + 1) << i;
        }
        if (const std::uint16_t v = KanaSemiVoicedTable[i]; v != 0) {
            ++semiVoiced;
            EXPECT_EQ(v, KanaSingleTable[i] + 2) << i;
            EXPECT_EQ(KanaVoicedTable[i], KanaSingleTable[i] + 1) << i;
        }
    }
    EXPECT_EQ(voiced, 21);
    EXPECT_EQ(semiVoiced, 5);
}

TEST(PutCodeChar, WritesOneOrTwoBytesHighFirstAndZeroAsQuestionMark) {
    std::uint8_t out[2] = {0xCC, 0xCC};
    EXPECT_EQ(PutCodeChar(out, 0), 1);
    EXPECT_EQ(out[0], '?');
    EXPECT_EQ(PutCodeChar(out, 0x8200), 2);
    EXPECT_EQ(out[0], 0x82);
    EXPECT_EQ(out[1], 0x00);
    EXPECT_EQ(PutCodeChar(out, 0xFF), 1);
    EXPECT_EQ(out[0], 0xFF);
    EXPECT_EQ(PutCodeChar(nullptr, 0x100), 2);
    EXPECT_EQ(PutCodeChar(nullptr, 0), 1);
}

TEST(JisSjisTransforms, RoundTripEveryRegularRowAndCell) {
    for (unsigned row = 0x21; row <= 0x7E; ++row) {
        for (unsigned cell = 0x21; cell <= 0x7E; ++cell) {
            const auto jis = static_cast<std::uint16_t>(row << 8 | cell);
            const std::uint16_t sjis = JisToSjisChar(jis);
            ASSERT_TRUE(IsSjisLeadByte(sjis >> 8)) << std::hex << jis;
            ASSERT_EQ(SjisToJisChar(sjis), jis) << std::hex << jis;
        }
    }
    // And every valid Shift_JIS value below the user-defined area comes back.
    for (unsigned hi = 0x81; hi <= 0xEF; ++hi) {
        for (unsigned lo = 0x40; lo <= 0xFC; ++lo) {
            if (!IsSjisLeadByte(static_cast<std::uint8_t>(hi)) || lo == 0x7F) continue;
            const auto sjis = static_cast<std::uint16_t>(hi << 8 | lo);
            ASSERT_EQ(JisToSjisChar(SjisToJisChar(sjis)), sjis) << std::hex << sjis;
        }
    }
}

TEST(JisSjisTransforms, TableFormsEqualTheArithmeticForEveryPairOfBytes) {
    for (unsigned value = 0; value <= 0xFFFF; ++value) {
        const auto high = static_cast<std::uint8_t>(value >> 8),
                   low = static_cast<std::uint8_t>(value);
        const auto character = static_cast<std::uint16_t>(value);
        ASSERT_EQ(detail::JisPairToSjis(high, low), JisToSjisChar(character)) << std::hex << value;
        ASSERT_EQ(detail::SjisPairToJis(high, low), SjisToJisChar(character)) << std::hex << value;
    }
}

}  // namespace
}  // namespace ruv
