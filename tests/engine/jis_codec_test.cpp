#include "engine/jis_codec.h"

#include <gtest/gtest.h>

#include "codec_cases.h"

namespace ruv {
namespace {

using test::CodecCase;

TEST(SjisToJisText, SwitchesToKanjiForDoubleByteCharactersAndEndsInAscii) {
    const CodecCase rows[] = {
        {"61 88 9F 62", "61 1B 24 42 30 21 1B 28 42 62", 10},  // a亜b
        {"B6 DE B7", "1B 24 42 25 2C 25 2D 1B 28 42", 10},     // ｶﾞｷ -> ガキ, closed
        {"61 88 9F", "61 1B 24 42 30 21 1B 28 42", 9},         // a亜, closed at the end
        {"88 9F 80 78", "1B 24 42 30 21 80 1B 28 42 78", 10},  // 亜 80 x: 80 stays in kanji
        {"88 9F 7F", "1B 24 42 30 21 1B 28 42 7F", 9},         // 亜 DEL
        {"88 9F 0A", "1B 24 42 30 21 1B 28 42 0A", 9},         // 亜 LF
        {"81 0D", "81 0D", 2},                                 // no character: no switch
        {"82 20", "1B 24 42 7E 7E 1B 28 42", 8},               // invalid -> 7E7E
        {"F0 40", "1B 24 42 7F 21 1B 28 42", 8},               // user-defined area as computed
        {"61 88", "61 88", 2},                                 // lone lead byte at the end
        {"88 9F 88", "1B 24 42 30 21 88 1B 28 42", 9},         // 亜, lone lead byte
        {"A0 FD", "A0 FD", 2},                                 // single bytes pass
        {"1B 24 42", "1B 24 42", 3},                           // ESC in the input is copied
        {"", "", 0},
    };
    for (const auto& row : rows) test::ExpectCodec(SjisToJisText, row);
}

TEST(SjisToJisText, StopsAtTheCapacityAndKeepsRoomForTheTerminator) {
    const CodecCase rows[] = {
        {"61 88 9F", "61 1B 24 42 30 21", -1, 9},  // the closing escape does not fit
        {"61 88 9F", "61 1B 24 42 30 21 1B 28 42", 9, 10},
        {"61 88 9F", "61 1B 24 42", -1, 6},  // a pair is refused whole
        {"61 88 9F", "61", -1, 4},           // so is an escape sequence
        {"61 62 63", "61 62 63", 3, 4},      // abc
        {"61 62 63", "61 62", -1, 3},
        {"", "", 0, 1},
        {"", "", -1, 0},
    };
    for (const auto& row : rows) test::ExpectCodec(SjisToJisText, row);
}

TEST(SjisToJisText, AlternatingKanaAndAsciiNeedsNineBytesPerPair) {
    std::vector<std::uint8_t> line;
    for (int i = 0; i < 500; ++i) line.insert(line.end(), {0xB1, 0x61});  // ｱa
    const auto text = test::Terminated(line);
    EXPECT_EQ(SjisToJisText(nullptr, text.data(), 0), 4500);
    std::vector<std::uint8_t> out(4000);
    EXPECT_EQ(SjisToJisText(out.data(), text.data(), 4000), -1);
}

TEST(JisToSjisText, FollowsEscapesShiftsAndModes) {
    const CodecCase rows[] = {
        {"61 1B 24 42 30 21 1B 28 42 62", "61 88 9F 62", 4},     // a亜b
        {"1B 24 40 30 21", "88 9F", 2},                          // ESC $ @ like ESC $ B
        {"1B 24 28 44 30 21 30 21 1B 28 42 78", "3F 3F 78", 3},  // JIS X 0212 -> ? each
        {"1B 28 49 31 1B 28 42 78", "B1 78", 2},                 // ESC ( I: ｱ
        {"1B 28 49 60 7E", "E0 FE", 2},
        {"1B 28 4A 0E 31 0F 31", "B1 31", 2},  // SO/SI from Roman
        {"0E 31 0F 31", "0E 31 0F 31", 4},     // not in ASCII mode
        {"1B 28 49 31 0F 31 0E 31", "B1 31 B1", 3},
        {"1B 28 4A 5C 7E", "5C 7E", 2},                 // Roman keeps \ and ~
        {"1B 24 28 42 30 21", "1B 24 28 42 30 21", 6},  // unknown: copied
        {"61 1B", "61 1B", 2},                          // cut escapes are copied
        {"1B 24", "1B 24", 2},
        {"1B 24 28", "1B 24 28", 3},
        {"1B 24 42 30 21 0D 0A", "88 9F 0D 0A", 4},
        {"1B 24 42 30 0D 0A", "EF FC 0A", 3},              // CR taken as second byte
        {"1B 24 42 30 21 20 30 21", "88 9F 20 88 9F", 5},  // space does not pair
        {"1B 24 42 21 7F", "EF FC", 2},                    // invalid pair
        {"1B 24 42 B0 A1", "B0 A1", 2},                    // 8-bit bytes never pair
        {"61 B1 62", "61 B1 62", 3},
        {"1B 24 42 30 21 30", "88 9F EF FC", 4},  // first byte at the end
        {"1B 24 28 44 30", "3F", 1},
        {"", "", 0},
    };
    for (const auto& row : rows) test::ExpectCodec(JisToSjisText, row);
}

TEST(JisToSjisText, StopsAtTheCapacityAndKeepsRoomForTheTerminator) {
    const CodecCase rows[] = {
        {"1B 24 42 30 21 30 21", "88 9F", -1, 4},  // 亜亜
        {"1B 24 42 30 21 30 21", "88 9F 88 9F", 4, 5},
        {"1B 24 42 30", "", -1, 2},  // the invalid marker needs room too
        {"1B 24 42", "", 0, 1},      // escapes write nothing
        {"61 62 63", "61 62", -1, 3},
    };
    for (const auto& row : rows) test::ExpectCodec(JisToSjisText, row);
}

// Every character of rows 1-94 as one Shift_JIS line.
std::vector<std::uint8_t> AllJisX0208() {
    std::vector<std::uint8_t> line;
    for (int row = 1; row <= 94; ++row) {
        for (int cell = 1; cell <= 94; ++cell) {
            const auto sjis = test::SjisOf(row, cell);
            line.insert(line.end(), sjis.begin(), sjis.end());
        }
    }
    return line;
}

TEST(JisCodec, RoundTripsEveryRowAndCell) {
    const auto sjis = AllJisX0208();
    const auto jis = test::Convert(SjisToJisText, sjis);
    EXPECT_EQ(jis.size(), sjis.size() + 6);
    EXPECT_EQ(test::Convert(JisToSjisText, jis), sjis);
}

TEST(JisCodec, AgreesWithIconvOnJisX0208Rows1To84) {
    test::Iconv toJis("ISO-2022-JP", "SHIFT_JIS"), fromJis("SHIFT_JIS", "ISO-2022-JP");
    ASSERT_TRUE(toJis.ok() && fromJis.ok());
    int compared = 0;
    for (int row = 1; row <= 84; ++row) {
        for (int cell = 1; cell <= 94; ++cell) {
            const auto sjis = test::SjisOf(row, cell);
            const auto jis = toJis(sjis);
            if (jis.empty()) continue;  // unassigned cell
            ++compared;
            ASSERT_EQ(test::Convert(SjisToJisText, sjis), jis) << row << "-" << cell;
            ASSERT_EQ(test::Convert(JisToSjisText, jis), fromJis(jis)) << row << "-" << cell;
        }
    }
    EXPECT_GE(compared, 6879);  // every character of JIS X 0208
}

}  // namespace
}  // namespace ruv
