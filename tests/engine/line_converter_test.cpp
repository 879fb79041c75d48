// The line converter: roads between the codes and the line-end rewrite, as rows
// of tests/data/line_roads.tsv, and what rows cannot say.
#include "engine/line_converter.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <map>
#include <string>

#include "support/data_rows.h"

namespace ruv {
namespace {

const KanjiCode kTargets[] = {CODE_JIS, CODE_SJIS, CODE_EUC, CODE_UNICODE, CODE_UTF8, CODE_UTF7};

// UTF-16 pieces are given and returned as their bytes on this (little-endian) host.
static_assert(std::endian::native == std::endian::little);

// Converts one piece and returns the output bytes, or "<fail>".
std::string Convert(const std::string& piece, const ConversionOptions& options) {
    LineBuffer line{};
    std::memcpy(AsBytes(line), piece.data(), piece.size());
    ConvertedBuffer output{};
    const std::int32_t n = CodeConverter().ConvertLine(output, line, options);
    if (n < 0) return "<fail>";
    const std::uint8_t* bytes = AsBytes(output);
    EXPECT_EQ(bytes[n] | (options.target == CODE_UNICODE ? bytes[n + 1] : 0), 0) << "terminated";
    return std::string(reinterpret_cast<const char*>(bytes), n);
}
std::string Convert(const std::string& piece, KanjiCode source, KanjiCode target) {
    return Convert(piece, {source, target, Newline::Lf});
}

// The road through Shift_JIS for a piece from EUC-JP or JIS, line end untouched.
std::string TwoSteps(const std::string& piece, KanjiCode source, KanjiCode target) {
    LineBuffer line{};
    std::memcpy(AsBytes(line), piece.data(), piece.size());
    ConvertedBuffer output{};
    CodeConverter converter;
    const std::int32_t n = source == CODE_JIS
                               ? converter.ConvertFromJis(output, AsBytes(line), target)
                               : converter.ConvertFromEuc(output, AsBytes(line), target);
    return n < 0 ? "<fail>" : std::string(reinterpret_cast<const char*>(AsBytes(output)), n);
}

class LineRoads : public ::testing::TestWithParam<test::DataRow> {};

TEST_P(LineRoads, ConvertAsTheRowSays) {
    static const std::map<std::string, Newline> newlines = {
        {"crlf", Newline::Crlf}, {"cr", Newline::Cr}, {"lf", Newline::Lf}, {"keep", Newline::Keep}};
    const test::DataRow& row = GetParam();
    const std::string in = test::Expand(row.at(5));
    const std::string out = row.at(6) == "<empty>" ? "" : test::Expand(row.at(6));
    if (row.at(2) == "every") {  // converts to every code as the UTF-16 output does
        for (KanjiCode target : kTargets) {
            EXPECT_EQ(Convert(in, test::CodeNamed(row[1]), target),
                      Convert(out, CODE_UNICODE, target));
        }
        return;
    }
    const KanjiCode source = test::CodeNamed(row.at(1)), target = test::CodeNamed(row.at(2));
    EXPECT_EQ(Convert(in, {source, target, newlines.at(row.at(3)), row.at(4) == "fold"}), out);
    if ((source == CODE_EUC || source == CODE_JIS) && (target == CODE_EUC || target == CODE_JIS)) {
        EXPECT_EQ(TwoSteps(in, source, target), out) << "the road through Shift_JIS";
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, LineRoads, ::testing::ValuesIn(test::DataRows("line_roads.tsv")));

TEST(LineConverter, TakesEveryJisX0208PairBetweenEucAndJisAsTheRoadThroughShiftJisDoes) {
    for (int r = 0x21; r <= 0x7E; ++r) {  // a row of 94 at a time
        std::string euc, jis = "\x1B$B";
        for (int c = 0x21; c <= 0x7E; ++c) {
            euc += {static_cast<char>(r | 0x80), static_cast<char>(c | 0x80)};
            jis += {static_cast<char>(r), static_cast<char>(c)};
        }
        for (KanjiCode target : {CODE_EUC, CODE_JIS}) {
            EXPECT_EQ(Convert(euc, CODE_EUC, target), TwoSteps(euc, CODE_EUC, target)) << r;
            EXPECT_EQ(Convert(jis, CODE_JIS, target), TwoSteps(jis, CODE_JIS, target)) << r;
        }
    }
}

}  // namespace
}  // namespace ruv
