// How text is cut into pieces: line ends, the length limit, character
// boundaries and the shift state carried across a cut.
#include "engine/piece_cutter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/utf7_codec.h"
#include "support/data_rows.h"

namespace ruv {
namespace {

using namespace std::string_literals;

// UTF-16 pieces are compared as their bytes on this (little-endian) host.
static_assert(std::endian::native == std::endian::little);

struct Cut {
    std::string piece;     // the piece's bytes
    std::size_t consumed;  // source bytes taken
    bool operator==(const Cut&) const = default;
    friend void PrintTo(const Cut& cut, std::ostream* out) {
        *out << cut.piece.size() << "@" << cut.consumed;
    }
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

// A field of tests/data/piece_cuts.tsv: C escapes, and {N:s} for N times s.
std::string Expand(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size();) {
        const std::size_t open = field.find('{', i);
        out += test::Unescape(field.substr(i, open - i));
        if (open == std::string::npos) break;
        const std::size_t colon = field.find(':', open), close = field.find('}', colon);
        const std::string unit = test::Unescape(field.substr(colon + 1, close - colon - 1));
        for (int n = std::stoi(field.substr(open + 1)); n > 0; --n) out += unit;
        i = close + 1;
    }
    return out;
}

class PieceCuts : public testing::TestWithParam<test::DataRow> {};

TEST_P(PieceCuts, AreTheExpectedPieces) {
    static const std::map<std::string, KanjiCode> codes = {
        {"SJIS", CODE_SJIS}, {"EUC", CODE_EUC},   {"JIS", CODE_JIS},
        {"UTF8", CODE_UTF8}, {"UTF7", CODE_UTF7}, {"UNICODE", CODE_UNICODE}};
    const test::DataRow& row = GetParam();
    std::vector<Cut> expected;
    std::istringstream cuts(row.at(2));
    for (std::string cut; std::getline(cuts, cut, '|');) {
        const std::size_t at = cut.rfind('@');
        expected.push_back({Expand(cut.substr(0, at)), std::stoul(cut.substr(at + 1))});
    }
    EXPECT_EQ(CutAll(codes.at(row.at(0)), Expand(row.at(1))), expected) << row.at(3);
}

INSTANTIATE_TEST_SUITE_P(Tsv, PieceCuts, testing::ValuesIn(test::DataRows("piece_cuts.tsv")));

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
        const std::int32_t n =
            converter.ConvertLine(output, line, source, target, NEWLINE_LF, false);
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
        {CODE_JIS,
         "\x1B(J\x0E"
         "126^\x0F\x1B(B"},              // SO and SI from Roman
        {CODE_JIS, "\xB1\xB2\xB6\xDE"},  // 8-bit katakana
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
