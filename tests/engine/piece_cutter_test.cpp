// How text is cut into pieces: line ends, the length limit, character
// boundaries and the shift state carried across a cut.
#include "engine/piece_cutter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "engine/utf7_codec.h"

namespace ruv {
namespace {

using namespace std::string_literals;

// UTF-16 pieces are compared as their bytes on this (little-endian) host.
static_assert(std::endian::native == std::endian::little);

struct Cut {
    std::string piece;     // the piece's bytes
    std::size_t consumed;  // source bytes taken
    bool operator==(const Cut&) const = default;
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
        const auto* text = reinterpret_cast<const char*>(AsBytes(line));
        cuts.push_back({code == CODE_UNICODE
                            ? std::string(text, 2 * std::char_traits<char16_t>::length(line.data()))
                            : std::string(text),
                        piece.consumed});
        EXPECT_GT(piece.consumed, 0u);
        at += piece.consumed;
    }
    return cuts;
}

TEST(PieceCutter, LineEndsEndPiecesAndCrBecomesLf) {
    const std::string x(1000, 'x');
    const struct {
        KanjiCode code;
        std::string data;
        std::vector<Cut> cuts;
    } rows[] = {
        {CODE_SJIS, "a\r\nb", {{"a\n", 3}, {"b", 1}}},             // CR LF is one line end
        {CODE_SJIS, "a\n\rb", {{"a\n", 2}, {"\n", 1}, {"b", 1}}},  // LF CR is two
        {CODE_SJIS, "a\r\r\n", {{"a\n", 2}, {"\n", 2}}},           // the LF goes with the 2nd CR
        {CODE_SJIS, "a\r", {{"a\n", 2}}},                          // a final CR ends in LF
        {CODE_SJIS, "abc", {{"abc", 3}}},                          // the last line has no end
        {CODE_SJIS, x + "\r\n", {{x, 1000}, {"\n", 2}}},  // the end alone after a full piece
        // U+300D (0D 30) is no line end; an odd last byte becomes a unit of its own.
        {CODE_UNICODE, "\x0D\x30\x61\0\r\0\n\0\x62"s, {{"\x0D\x30\x61\0\n\0"s, 8}, {"b\0"s, 1}}},
        // U+0F23, CR and an odd byte 0A that reads as LF: never more taken than there is.
        {CODE_UNICODE, "\x23\x0F\x0D\0\x0A"s, {{"\x23\x0F\n\0"s, 5}}},
    };
    for (const auto& row : rows) {
        EXPECT_TRUE(CutAll(row.code, row.data) == row.cuts) << row.data.substr(0, 8);
    }
}

TEST(PieceCutter, CutsFallOnCharacterBoundariesAndLoseNoByte) {
    const std::string x(1000, 'x');
    std::string utf16x;  // 499 units of 'x'
    for (int i = 0; i < 499; ++i) utf16x += std::string("x\0", 2);
    const struct {
        KanjiCode code;
        std::string data;
        std::size_t firstPiece;
    } rows[] = {
        {CODE_SJIS, x.substr(1) + "\x88\x9F" + "yy", 999},      // 亜 at 999
        {CODE_SJIS, x.substr(2) + "\x88\x9F" + "yy", 1000},     // 亜 ending at 1000
        {CODE_EUC, x.substr(1) + "\xB0\xA1" + "yy", 999},       // 亜
        {CODE_EUC, x.substr(2) + "\x8F\xB0\xA1" + "yy", 998},   // SS3, JIS X 0212
        {CODE_EUC, x.substr(1) + "\x8E\xB1" + "yy", 999},       // SS2 ｱ
        {CODE_UTF8, x.substr(2) + "\xE3\x81\x82" + "yy", 998},  // あ
        {CODE_UTF8, x.substr(3) + "\xF0\x9F\x98\x80", 997},     // 😀
        {CODE_UNICODE, utf16x + std::string("\x3D\xD8\x00\xDE", 4), 998},  // 😀 as D83D DE00
        {CODE_JIS, x.substr(2) + "\x1B$B0!\x1B(B", 998},                   // ESC $ B never split
        {CODE_UTF7, x.substr(1) + "+-y", 999},                             // "+-" is one character
        {CODE_UTF7, x.substr(1) + "+ZeVnLA-", 999},  // never right after the "+" of a run
    };
    for (const auto& row : rows) {
        const auto cuts = CutAll(row.code, row.data);
        ASSERT_GE(cuts.size(), 2u) << row.data.substr(990);
        EXPECT_EQ(cuts[0].piece.size(), row.firstPiece) << row.data.substr(990);
        std::string joined;
        for (const Cut& cut : cuts) joined += cut.piece;
        EXPECT_EQ(joined, row.data) << row.data.substr(990);
    }
}

TEST(PieceCutter, JisDesignationIsCarriedAcrossACut) {
    // A two-byte set (JIS X 0208, JIS X 0212), then 600 pairs: the cut falls
    // inside the run, never between the two bytes of a pair.
    for (const std::string designation : {"\x1B$B", "\x1B$(D"}) {
        std::string data = designation;
        for (int i = 0; i < 600; ++i) data += "0!";
        data += "\x1B(Bz";
        const auto cuts = CutAll(CODE_JIS, data);
        ASSERT_EQ(cuts.size(), 2u);
        EXPECT_EQ(cuts[0].piece.size(), designation.size() + (1000 - designation.size()) / 2 * 2);
        EXPECT_EQ(cuts[1].piece.substr(0, designation.size() + 2), designation + "0!");
        EXPECT_EQ(cuts[0].consumed + cuts[1].consumed, data.size());
    }
}

TEST(PieceCutter, Utf7RunEndingAtTheCutIsNotReopened) {
    // 7 letters, "+" and 992 digits (124 whole groups) fill the piece exactly;
    // the run's "-" comes next and is taken with it, not reopened as "+-";
    // any other byte that ends the run starts the next piece as text.
    const std::string piece = "abcdefg+" + std::string(992, 'B');
    const std::vector<Cut> minus = {{piece, 1001}, {"tail", 4}};
    const std::vector<Cut> dot = {{piece, 1000}, {".tail", 5}};
    EXPECT_TRUE(CutAll(CODE_UTF7, piece + "-tail") == minus);
    EXPECT_TRUE(CutAll(CODE_UTF7, piece + ".tail") == dot);
}

// Converts all of data piece by piece, as the file converter does, with UTF-7
// read strictly; the outputs joined, or "<fail>".
std::string ConvertAll(KanjiCode source, const std::string& data, KanjiCode target) {
    CodeConverter converter;
    converter.sourceGuessed = true;
    std::string out;
    for (const Cut& cut : CutAll(source, data)) {
        LineBuffer line{};
        std::memcpy(AsBytes(line), cut.piece.data(), cut.piece.size());
        ConvertedBuffer output{};
        const std::int32_t n = converter.ConvertLine(output, line, {source, target, Newline::Lf});
        if (n < 0) return "<fail>";
        out.append(reinterpret_cast<const char*>(AsBytes(output)), n);
    }
    return out;
}

TEST(PieceCutter, AstralCharactersConvertWholeWhereverTheCutsFall) {
    // 400 emoji (surrogate pairs) after 0 to 7 letters and 0 to 2 "~" (encoded
    // in the run), in one run or in runs of one group each ("-+" after every
    // eighth digit, so that pairs span two runs): the cuts fall between the
    // halves of a pair at every phase of the groups and of UTF-16 units.
    std::string emoji;
    for (int i = 0; i < 400; ++i) emoji += "\xF0\x9F\x98\x80";
    for (const bool regrouped : {false, true}) {
        for (int tildes = 0; tildes < 3; ++tildes) {
            std::u16string units(tildes, u'~');
            for (int i = 0; i < 400; ++i) units += u"\U0001F600";
            units += u'\n';
            char encoded[4096];
            ASSERT_GT(WideToUtf7Text(reinterpret_cast<std::uint8_t*>(encoded), units.c_str(), 4096),
                      0);
            std::string utf7 = encoded;
            for (std::size_t at = 9; regrouped && at < utf7.rfind('-'); at += 10) {
                utf7.insert(at, "-+");
            }
            for (int letters = 0; letters < 8; ++letters) {
                const std::string x(letters, 'x'),
                    utf8 = x + std::string(tildes, '~') + emoji + "\n";
                std::string wide;
                for (char16_t u : std::u16string(letters, u'x') + units)
                    wide += {char(u), char(u >> 8)};
                ASSERT_GT(CutAll(CODE_UTF7, x + utf7).size(), 2u);
                EXPECT_TRUE(ConvertAll(CODE_UTF7, x + utf7, CODE_UTF8) == utf8)
                    << tildes << letters;
                EXPECT_TRUE(ConvertAll(CODE_UTF7, x + utf7, CODE_UNICODE) == wide)
                    << tildes << letters;
                EXPECT_TRUE(ConvertAll(CODE_UNICODE, wide, CODE_UTF8) == utf8) << tildes << letters;
            }
        }
    }
}

TEST(PieceCutter, KanaAndSoundMarkFoldTogetherWhereverTheCutFalls) {
    // ｱｲｶﾞ after 988 to 1000 characters "x": one cut falls between ｶ and ﾞ
    // unless the cutter keeps them together, and EUC-JP, which folds, then
    // gets カ゛ instead of ガ.
    const struct {
        KanjiCode code;
        std::string kana;  // ｱｲｶﾞ
    } rows[] = {
        {CODE_SJIS, "\xB1\xB2\xB6\xDE"},
        {CODE_EUC, "\x8E\xB1\x8E\xB2\x8E\xB6\x8E\xDE"},
        {CODE_UTF8, "\xEF\xBD\xB1\xEF\xBD\xB2\xEF\xBD\xB6\xEF\xBE\x9E"},
        {CODE_JIS, "\x1B(I126^\x1B(B"},
        {CODE_JIS, "\x1B(J\x0E" "126^\x0F\x1B(B"},  // SO and SI from Roman
        {CODE_JIS, "\xB1\xB2\xB6\xDE"},               // 8-bit katakana
        {CODE_UNICODE, "\x71\xFF\x72\xFF\x76\xFF\x9E\xFF"},
        {CODE_UTF7, "+/3H/cv92/54-"},    // ｶ ends the run's first group
        {CODE_UTF7, "+/3H/cv92-+/54-"},  // ﾞ opens the next run
    };
    for (const auto& row : rows) {
        const std::size_t limit = row.code == CODE_UNICODE ? MAX_LINE_BYTES / 2 : MAX_LINE_BYTES;
        for (std::size_t x = limit - 12; x <= limit; ++x) {
            std::string data;
            for (std::size_t i = 0; i < x; ++i) data += row.code == CODE_UNICODE ? "x\0"s : "x";
            data += row.kana + (row.code == CODE_UNICODE ? "y\0"s : "y");
            EXPECT_EQ(ConvertAll(row.code, data, CODE_EUC),
                      std::string(x, 'x') + "\xA5\xA2\xA5\xA4\xA5\xACy")  // アイガ
                << row.kana << " after " << x;
        }
    }
}

TEST(PieceCutter, PairsSpanningEveryRunLoseOnlyThePairAtEachCut) {
    // 😀 as "+2D0-", 300 times "+3gDYPQ-" and "+3gA-": every place between two
    // runs parts a pair and no group is whole, so each cut costs one "??".
    std::string data = "+2D0-";
    for (int i = 0; i < 300; ++i) data += "+3gDYPQ-";
    const std::size_t cuts = CutAll(CODE_UTF7, data + "+3gA-").size() - 1;
    const std::string out = ConvertAll(CODE_UTF7, data + "+3gA-", CODE_UTF8);
    EXPECT_EQ(std::count(out.begin(), out.end(), '?'), 2 * cuts);
    EXPECT_EQ(out.size(), 4 * 301 - 2 * cuts);
}

}  // namespace
}  // namespace ruv
