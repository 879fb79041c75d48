#include "engine/euc_codec.h"

#include <gtest/gtest.h>

#include "codec_cases.h"

namespace ruv {
namespace {

using test::CodecCase;

TEST(SjisToEucText, SetsTheHighBitsOfRowAndCellAndFoldsKana) {
    const CodecCase rows[] = {
        {"61 88 9F B1", "61 B0 A1 A5 A2", 5},  // a亜ｱ -> a亜ア
        {"B6 DE", "A5 AC", 2},                 // ｶﾞ -> ガ
        {"82 20", "FE FE", 2},                 // invalid -> 7E7E | 8080
        {"A0 FD", "A0 FD", 2},                 // single bytes pass
        {"F0 40", "FF A1", 2},                 // user-defined area, rows as computed
        {"F1 9F", "82 A1", 2},
        {"FC FC", "98 FE", 2},
        {"81 0D 41", "81 0D 41", 3},      // 81 0D is no character: unchanged
        {"61 88", "61 88", 2},            // lone lead byte at the end
        {"88 9F 88 9F", "B0 A1", -1, 4},  // 亜亜: a pair is refused whole
        {"88 9F 88 9F", "B0 A1 B0 A1", 4, 5},
        {"", "", -1, 0},
    };
    for (const auto& row : rows) test::ExpectCodec(SjisToEucText, row);
}

TEST(EucToSjisText, DecodesPairsSingleShiftsAndCutCharacters) {
    const CodecCase rows[] = {
        {"61 B0 A1 62", "61 88 9F 62", 4},  // a亜b
        {"8E B1 78", "B1 78", 2},           // SS2: ｱx
        {"8E 31", "B1", 1},                 // SS2 sets the high bit
        {"8F B0 A1 78", "3F 78", 2},        // SS3: JIS X 0212 -> ?
        {"8F 61 62 63", "3F 63", 2},        // SS3 swallows two bytes whatever they are
        {"A0 80 78", "A0 80 78", 3},        // single bytes pass
        {"8D 90", "8D 90", 2},
        {"B0 21", "88 9F", 2},  // the second byte is masked, not checked
        {"A1 A0", "EF FC", 2},  // invalid pairs
        {"FF A1", "EF FC", 2},
        {"FE FE", "EF FC", 2},
        {"B0 0A", "EF FC", 2},     // LF lost as a second byte
        {"61 B0", "61 EF FC", 3},  // cut short by the terminator
        {"8E", "EF FC", 2},
        {"8F", "3F", 1},
        {"8F B0", "3F", 1},
        {"B0 A1 B0 A1", "88 9F", -1, 4},  // 亜亜
        {"B0 A1 B0 A1", "88 9F 88 9F", 4, 5},
        {"8F B0 A1", "", -1, 1},
    };
    for (const auto& row : rows) test::ExpectCodec(EucToSjisText, row);
}

TEST(SjisToSjisText, FoldsHalfWidthKanaAndCopiesEverythingElse) {
    const CodecCase rows[] = {
        {"B6 DE B7 CA DF 61", "83 4B 83 4C 83 70 61", 7},  // ｶﾞｷﾊﾟa -> ガキパa
        {"B1 DE", "83 41 81 4A", 4},                       // ｱﾞ -> ア゛
        {"61 88 9F", "61 88 9F", 3},                       // a亜
        {"81 0D 41", "81 0D 41", 3},
        {"82 20 80 A0 FD FF", "82 20 80 A0 FD FF", 6},  // invalid stays invalid
        {"88", "88", 1},                                // lone lead byte
        {"61 62 63", "61 62", -1, 3},
    };
    for (const auto& row : rows) test::ExpectCodec(SjisToSjisText, row);
}

TEST(EucCodec, RoundTripsEveryRowAndCell) {
    for (int row = 1; row <= 94; ++row) {
        std::vector<std::uint8_t> sjis;
        for (int cell = 1; cell <= 94; ++cell) {
            const auto character = test::SjisOf(row, cell);
            sjis.insert(sjis.end(), character.begin(), character.end());
        }
        const auto euc = test::Convert(SjisToEucText, sjis);
        ASSERT_EQ(euc.size(), sjis.size()) << "row " << row;
        ASSERT_EQ(test::Convert(EucToSjisText, euc), sjis) << "row " << row;
    }
}

TEST(EucCodec, AgreesWithIconvOnJisX0208Rows1To84) {
    test::Iconv toEuc("EUC-JP", "SHIFT_JIS"), fromEuc("SHIFT_JIS", "EUC-JP");
    ASSERT_TRUE(toEuc.ok() && fromEuc.ok());
    int compared = 0;
    for (int row = 1; row <= 84; ++row) {
        for (int cell = 1; cell <= 94; ++cell) {
            const auto sjis = test::SjisOf(row, cell);
            const auto euc = toEuc(sjis);
            if (euc.empty()) continue;  // unassigned cell
            ++compared;
            ASSERT_EQ(test::Convert(SjisToEucText, sjis), euc) << row << "-" << cell;
            ASSERT_EQ(test::Convert(EucToSjisText, euc), fromEuc(euc)) << row << "-" << cell;
        }
    }
    EXPECT_GE(compared, 6879);  // every character of JIS X 0208
}

}  // namespace
}  // namespace ruv
