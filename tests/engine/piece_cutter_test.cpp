// How text is cut into pieces: line ends, the length limit, character
// boundaries and the shift state carried across a cut.
#include "engine/piece_cutter.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

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
        const std::size_t n = code == CODE_UNICODE
                                  ? 2 * std::char_traits<char16_t>::length(line.data())
                                  : std::strlen(text);
        cuts.push_back({std::string(text, n), piece.consumed});
        EXPECT_GT(piece.consumed, 0u);
        at += piece.consumed;
    }
    return cuts;
}

class PieceCuts : public testing::TestWithParam<test::DataRow> {};

TEST_P(PieceCuts, AreTheExpectedPieces) {
    const test::DataRow& row = GetParam();
    std::vector<Cut> expected;
    std::istringstream cuts(row.at(2));
    for (std::string cut; std::getline(cuts, cut, '|');) {
        const std::size_t at = cut.rfind('@');
        expected.push_back({test::Expand(cut.substr(0, at)), std::stoul(cut.substr(at + 1))});
    }
    EXPECT_EQ(CutAll(test::CodeNamed(row.at(0)), test::Expand(row.at(1))), expected) << row.at(3);
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
        const std::int32_t n = converter.ConvertLine(output, line, {source, target, Newline::Lf});
        if (n < 0) return "<fail>";
        out.append(reinterpret_cast<const char*>(AsBytes(output)), n);
    }
    return out;
}

class CutConversions : public testing::TestWithParam<test::DataRow> {};

TEST_P(CutConversions, GiveTheWholeTextsOutput) {
    const test::DataRow& row = GetParam();
    const KanjiCode source = test::CodeNamed(row.at(0)), target = test::CodeNamed(row.at(2));
    const std::size_t last = std::stoul(row.at(4).substr(row.at(4).find('-') + 1));
    for (std::size_t x = std::stoul(row.at(4)); x <= last; ++x) {
        const auto letters = [x](KanjiCode code) {
            std::string s;
            for (std::size_t i = 0; i < x; ++i) s += code == CODE_UNICODE ? "x\0"s : "x";
            return s;
        };
        const std::string text = letters(source) + test::Expand(row.at(1));
        EXPECT_EQ(ConvertAll(source, text, target), letters(target) + test::Expand(row.at(3)))
            << row.at(5) << " after " << x;
    }
}

INSTANTIATE_TEST_SUITE_P(Tsv, CutConversions,
                         testing::ValuesIn(test::DataRows("cut_conversions.tsv")));

}  // namespace
}  // namespace ruv
