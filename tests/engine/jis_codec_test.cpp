#include "engine/jis_codec.h"

#include <gtest/gtest.h>

#include "codec_cases.h"

namespace ruv {
namespace {

TEST(SjisToJisText, SwitchesToKanjiForDoubleByteCharactersAndClosesWithEscParenB) {
    const test::HexRow rows[] = {
        {"61 88 9F 62", "61 1B 24 42 30 21 1B 28 42 62"},  // a亜b
        {"61 88 9F", "61 1B 24 42 30 21 1B 28 42"},        // a亜, closed at the line's end
        {"88 9F 0A", "1B 24 42 30 21 1B 28 42 0A"},        // 亜 LF: closed before the LF
        {"B6 DE B7", "1B 24 42 25 2C 25 2D 1B 28 42"},     // ｶﾞｷ -> ガキ
        {"88 9F 80 78", "1B 24 42 30 21 80 1B 28 42 78"},  // 亜 80 x: 80 stays in kanji
        {"81 0D", "81 0D"},                                // no character: no switch
        {"82 20", "1B 24 42 7E 7E 1B 28 42"},              // invalid -> 7E7E
        {"F0 40", "1B 24 42 7F 21 1B 28 42"},              // user-defined area
        {"61 88", "61 88"},                                // lone lead byte before the terminator
        {"88 9F 88", "1B 24 42 30 21 88 1B 28 42"},        // 亜, lone lead byte
        {"A0 FD", "A0 FD"},                                // single bytes pass
        {"1B 24 42", "1B 24 42"},                          // ESC in the input is copied
        {"", ""},
    };
    test::ExpectRows(SjisToJisText, rows);
}

TEST(JisToSjisText, FollowsEscapesShiftsAndModesWithoutReadingPastTheTerminator) {
    const test::HexRow rows[] = {
        {"61 1B 24 42 30 21 1B 28 42 62", "61 88 9F 62"},     // a亜b
        {"1B 24 40 30 21", "88 9F"},                          // ESC $ @ like ESC $ B
        {"1B 24 28 44 30 21 30 21 1B 28 42 78", "3F 3F 78"},  // JIS X 0212 -> ? each
        {"1B 28 49 31 1B 28 42 78", "B1 78"},                 // ESC ( I: ｱx
        {"1B 28 4A 0E 31 0F 31", "B1 31"},                    // SO/SI from Roman
        {"0E 31 0F 31", "0E 31 0F 31"},                       // not in ASCII mode
        {"1B 28 4A 5C 7E", "5C 7E"},                          // Roman keeps \ and ~
        {"1B 24 28 42 30 21", "1B 24 28 42 30 21"},           // unknown escape: copied
        {"61 1B", "61 1B"},                                   // escapes cut by the terminator
        {"1B 24", "1B 24"},
        {"1B 24 28", "1B 24 28"},
        {"1B 24 42 30 21 0D 0A", "88 9F 0D 0A"},        // 亜 CR LF
        {"1B 24 42 30 0D 0A", "EF FC 0A"},              // CR taken as second byte
        {"1B 24 42 30 21 20 30 21", "88 9F 20 88 9F"},  // space does not pair
        {"1B 24 42 21 7F", "EF FC"},                    // invalid pair
        {"1B 24 42 B0 A1", "B0 A1"},                    // 8-bit bytes never pair
        {"1B 24 42 30 21 30", "88 9F EF FC"},           // first byte before the terminator
        {"1B 24 28 44 30", "3F"},
    };
    test::ExpectRows(JisToSjisText, rows);
}

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
