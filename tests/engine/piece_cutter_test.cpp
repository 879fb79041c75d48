// How text is cut into pieces: line ends, the length limit, character
// boundaries and the shift state carried across a cut.
#include "engine/piece_cutter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ruv {
namespace {

struct Cut {
    std::string piece;     // the piece's bytes (UTF-16 pieces as little-endian bytes)
    std::size_t consumed;  // source bytes taken
};

// Cuts all of data as the file converter does, with all of it available.
std::vector<Cut> CutAll(KanjiCode code, const std::string& data) {
    PieceCutter cutter(code);
    std::vector<Cut> cuts;
    std::size_t at = 0;
    while (at < data.size()) {
        LineBuffer line{};
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data()) + at;
        const Piece piece = cutter.Next(bytes, data.size() - at, true, line);
        std::string text;
        if (code == CODE_UNICODE) {
            for (std::size_t i = 0; line[i] != 0; ++i) {
                text += static_cast<char>(line[i] & 0xFF);
                text += static_cast<char>(line[i] >> 8);
            }
        } else {
            text = reinterpret_cast<const char*>(AsBytes(line));
        }
        cuts.push_back({text, piece.consumed});
        EXPECT_GT(piece.consumed, 0u);
        at += piece.consumed;
    }
    return cuts;
}

std::vector<std::size_t> Lengths(const std::vector<Cut>& cuts) {
    std::vector<std::size_t> lengths;
    for (const Cut& cut : cuts) lengths.push_back(cut.piece.size());
    return lengths;
}

TEST(PieceCutter, LineEndsEndPiecesAndCrBecomesLf) {
    struct Row {
        std::string data;
        std::vector<std::string> pieces;
        std::vector<std::size_t> consumed;
    };
    const Row rows[] = {
        {"a\r\nb", {"a\n", "b"}, {3, 1}},           // CR LF is one line end
        {"a\n\rb", {"a\n", "\n", "b"}, {2, 1, 1}},  // LF CR is two
        {"a\r\r\n", {"a\n", "\n"}, {2, 2}},         // the LF goes with the second CR
        {"a\r", {"a\n"}, {2}},                       // a final CR ends in LF
        {"abc", {"abc"}, {3}},                       // the last line keeps having no end
    };
    for (const Row& row : rows) {
        const auto cuts = CutAll(CODE_SJIS, row.data);
        ASSERT_EQ(cuts.size(), row.pieces.size()) << row.data;
        for (std::size_t i = 0; i < cuts.size(); ++i) {
            EXPECT_EQ(cuts[i].piece, row.pieces[i]);
            EXPECT_EQ(cuts[i].consumed, row.consumed[i]);
        }
    }
}

TEST(PieceCutter, LongLinesAreCutAtTheLimit) {
    EXPECT_EQ(Lengths(CutAll(CODE_SJIS, std::string(2500, 'x'))),
              (std::vector<std::size_t>{1000, 1000, 500}));
    // A 1000-byte line then CR LF: the line end becomes a piece of its own.
    const auto cuts = CutAll(CODE_SJIS, std::string(1000, 'x') + "\r\n");
    ASSERT_EQ(cuts.size(), 2u);
    EXPECT_EQ(cuts[1].piece, "\n");
    EXPECT_EQ(cuts[1].consumed, 2u);
}

TEST(PieceCutter, CutsFallOnCharacterBoundaries) {
    struct Row {
        const char* what;
        KanjiCode code;
        std::string data;
        std::size_t firstPiece;
    };
    const std::string x999(999, 'x');
    const std::string x998(998, 'x');
    const Row rows[] = {
        {"Shift_JIS pair at 999", CODE_SJIS, x999 + "\x88\x9F" + "yy", 999},          // 亜
        {"kana and sound mark", CODE_SJIS, x999 + "\xB6\xDE" + "yy", 999},           // ｶﾞ
        {"EUC-JP pair at 999", CODE_EUC, x999 + "\xB0\xA1" + "yy", 999},             // 亜
        {"EUC-JP SS3 at 998", CODE_EUC, x998 + "\x8F\xB0\xA1" + "yy", 998},         // JIS X 0212
        {"EUC-JP SS2 at 999", CODE_EUC, x999 + "\x8E\xB1" + "yy", 999},             // ｱ
        {"UTF-8 three bytes at 998", CODE_UTF8, x998 + "\xE3\x81\x82" + "yy", 998},  // あ
        {"UTF-8 four bytes at 997", CODE_UTF8, std::string(997, 'x') + "\xF0\x9F\x98\x80", 997},
        {"pair boundary kept", CODE_SJIS, std::string(998, 'x') + "\x88\x9F" + "yy", 1000},
    };
    for (const Row& row : rows) {
        const auto cuts = CutAll(row.code, row.data);
        ASSERT_GE(cuts.size(), 2u) << row.what;
        EXPECT_EQ(cuts[0].piece.size(), row.firstPiece) << row.what;
        std::string joined;
        for (const Cut& cut : cuts) joined += cut.piece;
        EXPECT_EQ(joined, row.data) << row.what << ": no byte lost or added";
    }
}

TEST(PieceCutter, SurrogatePairsStayTogether) {
    // 499 units of 'x', then U+1F600 as D83D DE00.
    std::string data;
    for (int i = 0; i < 499; ++i) data += std::string("x\0", 2);
    data += std::string("\x3D\xD8\x00\xDE", 4);
    const auto cuts = CutAll(CODE_UNICODE, data);
    ASSERT_EQ(cuts.size(), 2u);
    EXPECT_EQ(cuts[0].piece.size(), 998u);
    EXPECT_EQ(cuts[1].piece, std::string("\x3D\xD8\x00\xDE", 4));
}

TEST(PieceCutter, Utf16LineEndsAreWholeUnits) {
    // U+300D (0D 30) is a character, not a line end; an odd last byte is kept.
    const std::string data("\x0D\x30" "a\0" "\r\0\n\0" "b", 9);
    const auto cuts = CutAll(CODE_UNICODE, data);
    ASSERT_EQ(cuts.size(), 2u);
    EXPECT_EQ(cuts[0].piece, std::string("\x0D\x30" "a\0" "\n\0", 6));
    EXPECT_EQ(cuts[0].consumed, 8u);
    EXPECT_EQ(cuts[1].piece, std::string("b\0", 2)) << "the odd byte becomes the unit U+0062";
    EXPECT_EQ(cuts[1].consumed, 1u);
}

TEST(PieceCutter, AnOddLastByteAfterACarriageReturnIsTakenOnce) {
    // U+0F23, CR, and an odd byte 0A that reads as a line feed unit.
    const auto cuts = CutAll(CODE_UNICODE, std::string("\x23\x0F\x0D\x00\x0A", 5));
    ASSERT_EQ(cuts.size(), 1u);
    EXPECT_EQ(cuts[0].consumed, 5u) << "never more than the data holds";
}

TEST(PieceCutter, JisDesignationIsCarriedAcrossACut) {
    // ESC $ B, then 600 kanji pairs: the cut falls inside the kanji run.
    std::string data = "\x1B$B";
    for (int i = 0; i < 600; ++i) data += "0!";  // 亜
    data += "\x1B(Bz";
    const auto cuts = CutAll(CODE_JIS, data);
    ASSERT_EQ(cuts.size(), 2u);
    EXPECT_EQ(cuts[0].piece.size(), 999u) << "never between the two bytes of a pair";
    EXPECT_EQ(cuts[1].piece.substr(0, 5), "\x1B$B0!");
    EXPECT_EQ(cuts[0].consumed + cuts[1].consumed, data.size());
}

TEST(PieceCutter, JisEscapeIsNeverSplit) {
    const std::string data = std::string(998, 'x') + "\x1B$B0!\x1B(B";
    const auto cuts = CutAll(CODE_JIS, data);
    EXPECT_EQ(cuts[0].piece.size(), 998u);
    EXPECT_EQ(cuts[1].piece, "\x1B$B0!\x1B(B");
}

TEST(PieceCutter, Utf7RunIsCutOnWholeGroupsAndReopened) {
    // "+" and 1200 base64 digits: groups of 8 digits hold three units each.
    const std::string digits(1200, 'A');
    const auto cuts = CutAll(CODE_UTF7, "+" + digits + "-x");
    ASSERT_GE(cuts.size(), 2u);
    EXPECT_EQ((cuts[0].piece.size() - 1) % 8, 0u);
    EXPECT_EQ(cuts[1].piece[0], '+');
}

TEST(PieceCutter, Utf7RunClosingAtTheCutIsNotReopened) {
    // 7 letters, "+" and 992 digits (124 whole groups) fill the piece exactly;
    // the run's "-" comes next and is taken with it, not reopened as "+-".
    const std::string piece = "abcdefg+" + std::string(992, 'B');
    const auto cuts = CutAll(CODE_UTF7, piece + "-tail");
    ASSERT_EQ(cuts.size(), 2u);
    EXPECT_EQ(cuts[0].piece, piece);
    EXPECT_EQ(cuts[0].consumed, 1001u);
    EXPECT_EQ(cuts[1].piece, "tail");
}

TEST(PieceCutter, Utf7PlusMinusIsOneCharacter) {
    const std::string data = std::string(999, 'x') + "+-y";
    const auto cuts = CutAll(CODE_UTF7, data);
    EXPECT_EQ(cuts[0].piece.size(), 999u);
    EXPECT_EQ(cuts[1].piece, "+-y");
}

}  // namespace
}  // namespace ruv
