// Runs the rows of tests/data/codec_rows.tsv: each codec on its rows, with the
// calling convention (measuring, every too small capacity) checked on each.
// The code page 932 rows run here too, beside the codecs built on them.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <type_traits>

#include "codec_cases.h"
#include "engine/euc_codec.h"
#include "engine/jis_codec.h"
#include "engine/line_converter.h"
#include "engine/utf7_codec.h"
#include "engine/utf8_codec.h"
#include "platform/byte_words.h"
#include "platform/cp932.h"

namespace ruv {
namespace {

struct Row {
    int line;
    std::string input, output;
};

// The rows of one codec, by the name in the first column.
std::vector<Row> RowsOf(const std::string& codec) {
    std::ifstream file(RUV_SOURCE_DIR "/tests/data/codec_rows.tsv");
    EXPECT_TRUE(file) << "tests/data/codec_rows.tsv";
    std::vector<Row> rows;
    std::string text;
    for (int line = 1; std::getline(file, text); ++line) {
        if (text.empty() || text[0] == '#') continue;
        const auto tab1 = text.find('\t'), tab2 = text.find('\t', tab1 + 1);
        if (text.compare(0, tab1, codec) != 0) continue;
        rows.push_back({line, text.substr(tab1 + 1, tab2 - tab1 - 1),
                        text.substr(tab2 + 1, text.find('\t', tab2 + 1) - tab2 - 1)});
    }
    return rows;
}

test::Units HexUnits(const std::string& text) {
    test::Units units;
    std::istringstream in(text);
    for (unsigned value = 0; in >> std::hex >> value;)
        units.push_back(static_cast<char16_t>(value));
    return units;
}

class CodecRows : public testing::TestWithParam<std::string> {};

TEST_P(CodecRows, GiveTheExpectedOutput) {
    using WideOut = std::int32_t (*)(char16_t*, const std::uint8_t*, std::int32_t, LostCount*);
    using WideIn = std::int32_t (*)(std::uint8_t*, const char16_t*, std::int32_t, LostCount*);
    static const std::map<std::string, test::ByteCodec> kBytes = {{"sjis>euc", SjisToEucText},
                                                                  {"euc>sjis", EucToSjisText},
                                                                  {"sjis>sjis", SjisToSjisText},
                                                                  {"sjis>jis", SjisToJisText},
                                                                  {"jis>sjis", JisToSjisText}};
    static const std::map<std::string, WideOut> kToWide = {
        {"utf8>utf16", Utf8ToWideText},
        {"cp932>utf16", Cp932ToUtf16},
        {"utf7>utf16", Utf7ToWideText},
        {"utf7strict>utf16", Utf7ToWideTextStrict}};
    static const std::map<std::string, WideIn> kFromWide = {{"utf16>utf8", WideToUtf8Text},
                                                            {"utf16>cp932", Utf16ToCp932},
                                                            {"utf16>utf7", WideToUtf7Text}};
    const std::string& codec = GetParam();
    const auto rows = RowsOf(codec);
    ASSERT_FALSE(rows.empty());
    // "refused": the codec refuses the text, measuring or writing.
    const auto check = [](auto function, const auto& in, const auto& out, const Row& row) {
        if (row.output != "refused") {
            EXPECT_EQ(test::Convert(function, in), out) << row.line;
            return;
        }
        auto text = in;
        text.push_back(0);
        typename std::remove_cvref_t<decltype(out)>::value_type buffer[64];
        EXPECT_EQ(function(nullptr, text.data(), 0, nullptr), -1) << row.line;
        EXPECT_EQ(function(buffer, text.data(), 64, nullptr), -1) << row.line;
    };
    for (const auto& row : rows) {
        const std::string in = row.input == "-" ? "" : row.input;
        const std::string out = row.output == "-" ? "" : row.output;
        if (kToWide.count(codec) != 0) {
            check(kToWide.at(codec), test::Hex(in), HexUnits(out), row);
        } else if (kFromWide.count(codec) != 0) {
            check(kFromWide.at(codec), HexUnits(in), test::Hex(out), row);
        } else {
            check(kBytes.at(codec), test::Hex(in), test::Hex(out), row);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Tsv, CodecRows,
                         testing::Values("sjis>euc", "euc>sjis", "sjis>sjis", "sjis>jis",
                                         "jis>sjis", "utf8>utf16", "utf16>utf8", "cp932>utf16",
                                         "utf16>cp932", "utf16>utf7", "utf7>utf16",
                                         "utf7strict>utf16"),
                         [](const auto& info) {
                             std::string name = info.param;
                             name.replace(name.find('>'), 1, "To");
                             return name;
                         });

// tests/data/road_rows.tsv: whole pieces through the line converter, and the
// wide and the word-at-a-time ASCII scans agreeing on every suffix of each input.
TEST(RoadRows, GiveTheExpectedOutput) {
    static const std::map<std::string, KanjiCode> kCodes = {{"euc", CODE_EUC},
                                                            {"jis", CODE_JIS},
                                                            {"sjis", CODE_SJIS},
                                                            {"utf8", CODE_UTF8},
                                                            {"utf16", CODE_UNICODE}};
    std::ifstream file(RUV_SOURCE_DIR "/tests/data/road_rows.tsv");
    ASSERT_TRUE(file);
    std::string text;
    for (int line = 1; std::getline(file, text); ++line) {
        if (text.empty() || text[0] == '#') continue;
        std::istringstream fields(text);
        std::string road, in, out;
        std::getline(fields, road, '\t');
        std::getline(fields, in, '\t');
        std::getline(fields, out, '\t');
        const auto bytes = test::Hex(in);
        LineBuffer piece{};
        std::copy(bytes.begin(), bytes.end(), AsBytes(piece));
        ConvertedBuffer output;
        CodeConverter converter;
        const auto arrow = road.find('>');
        const std::int32_t n =
            converter.ConvertLine(output, piece, {kCodes.at(road.substr(0, arrow)),
                                                  kCodes.at(road.substr(arrow + 1)), Newline::Lf});
        ASSERT_GE(n, 0) << line;
        EXPECT_EQ(test::Bytes(AsBytes(output), AsBytes(output) + n), test::Hex(out)) << line;
        const std::uint8_t* end = AsBytes(piece) + bytes.size();
        for (const std::uint8_t* p = AsBytes(piece); p <= end; ++p) {
            const auto n16 = detail::AsciiRunLength(p, end);
            EXPECT_EQ(n16, detail::AsciiRunLength<detail::ByteScan::Words>(p, end)) << line;
            EXPECT_EQ(n16, std::find_if(p, end, [](auto b) { return b >= 0x80; }) - p) << line;
            char16_t wide[LINE_BUFFER_BYTES], narrow[LINE_BUFFER_BYTES];
            detail::WidenBytes(wide, p, static_cast<std::int32_t>(end - p));
            detail::WidenBytes<detail::ByteScan::Words>(narrow, p,
                                                        static_cast<std::int32_t>(end - p));
            EXPECT_TRUE(std::equal(p, end, wide) && std::equal(p, end, narrow)) << line;
        }
    }
}

}  // namespace
}  // namespace ruv
