#include "engine/euc_codec.h"

#include <gtest/gtest.h>

#include "codec_cases.h"

namespace ruv {
namespace {

TEST(SjisToEucText, SetsTheHighBitsOfRowAndCellAndFoldsKana) {
    const test::HexRow rows[] = {
        {"61 88 9F B1", "61 B0 A1 A5 A2"},  // a亜ｱ -> a亜ア
        {"B6 DE", "A5 AC"},                 // ｶﾞ -> ガ
        {"82 20", "FE FE"},                 // invalid -> 7E7E | 8080
        {"A0 FD", "A0 FD"},                 // single bytes pass
        {"F0 40", "FF A1"},                 // user-defined area
        {"81 0D 41", "81 0D 41"},           // 81 0D is no character: unchanged
        {"61 88", "61 88"},                 // lone lead byte before the terminator
    };
    test::ExpectRows(SjisToEucText, rows);
}

TEST(EucToSjisText, DecodesPairsSingleShiftsAndCharactersCutByTheTerminator) {
    const test::HexRow rows[] = {
        {"61 B0 A1 62", "61 88 9F 62"},  // a亜b
        {"8E B1 78", "B1 78"},           // SS2: ｱx
        {"8E 31", "B1"},                 // SS2 sets the high bit
        {"8F B0 A1 78", "3F 78"},        // SS3: JIS X 0212 -> ?
        {"8F 61 62 63", "3F 63"},        // SS3 takes two bytes whatever they are
        {"A0 80 78", "A0 80 78"},        // single bytes pass
        {"B0 21", "88 9F"},              // the second byte is masked, not checked
        {"A1 A0", "EF FC"},              // invalid cell
        {"FF A1", "EF FC"},              // invalid row
        {"B0 0A", "EF FC"},              // LF lost as a second byte
        {"61 B0", "61 EF FC"},           // cut by the terminator
        {"8E", "EF FC"},
        {"8F", "3F"},
        {"8F B0", "3F"},
    };
    test::ExpectRows(EucToSjisText, rows);
}

TEST(SjisToSjisText, FoldsHalfWidthKanaAndCopiesEverythingElse) {
    const test::HexRow rows[] = {
        {"B6 DE B7 CA DF 61", "83 4B 83 4C 83 70 61"},  // ｶﾞｷﾊﾟa -> ガキパa
        {"B1 DE", "83 41 81 4A"},                       // ｱﾞ -> ア゛
        {"61 88 9F", "61 88 9F"},                       // a亜
        {"82 20 80 A0 FD FF", "82 20 80 A0 FD FF"},     // invalid stays invalid
        {"88", "88"},                                   // lone lead byte
    };
    test::ExpectRows(SjisToSjisText, rows);
}

TEST(EucCodec, RoundTripsEveryRowAndCell) {
    const auto sjis = test::AllJisX0208();
    const auto euc = test::Convert(SjisToEucText, sjis);
    EXPECT_EQ(euc.size(), sjis.size());
    EXPECT_EQ(test::Convert(EucToSjisText, euc), sjis);
}

TEST(EucCodec, AgreesWithIconvOnJisX0208) {
    test::ExpectAgreesWithIconvOnJisX0208("EUC-JP", SjisToEucText, EucToSjisText);
}

}  // namespace
}  // namespace ruv
