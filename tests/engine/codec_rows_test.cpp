// Runs the rows of tests/data/codec_rows.tsv, each through its codec with the
// calling convention (measuring, every too small capacity) checked on the way.
// The code page 932 rows and the direct roads between EUC-JP and ISO-2022-JP
// run here too, beside the codecs built on them.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "codec_cases.h"
#include "engine/direct_roads.h"
#include "engine/euc_codec.h"
#include "engine/jis_codec.h"
#include "engine/line_converter.h"
#include "engine/utf7_codec.h"
#include "engine/utf8_codec.h"
#include "platform/byte_words.h"
#include "platform/cp932.h"
#include "support/data_rows.h"

namespace ruv {
namespace {

using test::Hex;
using Direct = std::int32_t (*)(std::uint8_t*, const std::uint8_t*, std::int32_t);

const std::map<std::string, test::ByteCodec> kBytes = {{"sjis>euc", SjisToEucText},
                                                       {"euc>sjis", EucToSjisText},
                                                       {"sjis>sjis", SjisToSjisText},
                                                       {"sjis>jis", SjisToJisText},
                                                       {"jis>sjis", JisToSjisText}};
const std::map<std::string, test::WideOut> kToWide = {{"utf8>utf16", Utf8ToWideText},
                                                      {"cp932>utf16", Cp932ToUtf16},
                                                      {"utf7>utf16", Utf7ToWideText},
                                                      {"utf7strict>utf16", Utf7ToWideTextStrict}};
const std::map<std::string, test::WideIn> kFromWide = {
    {"utf16>utf8", WideToUtf8Text}, {"utf16>cp932", Utf16ToCp932}, {"utf16>utf7", WideToUtf7Text}};
const std::map<std::string, Direct> kDirect = {{"euc>euc direct", EucToEucDirect},
                                               {"euc>jis direct", EucToJisDirect},
                                               {"jis>euc direct", JisToEucDirect},
                                               {"jis>jis direct", JisToJisDirect}};

// "refused": the codec refuses the text, measuring or writing.
template <typename Codec, typename In, typename Out>
void Check(Codec codec, In in, const Out& out, const std::string& expected, bool utf7 = false) {
    if (expected != "refused") {
        EXPECT_EQ(test::Convert(codec, in, utf7), out);
        return;
    }
    in.push_back(0);
    typename Out::value_type buffer[64];
    EXPECT_EQ(codec(nullptr, in.data(), 0, nullptr), -1);
    EXPECT_EQ(codec(buffer, in.data(), 64, nullptr), -1);
}

class CodecRows : public testing::TestWithParam<test::DataRow> {};

TEST_P(CodecRows, GiveTheExpectedOutput) {
    const std::string& codec = GetParam().at(0);
    const std::string& in = GetParam().at(1);
    const std::string& out = GetParam().at(2);
    SCOPED_TRACE(codec + ": " + in + " -> " + out);
    if (kToWide.count(codec) != 0) {
        Check(kToWide.at(codec), Hex(in), Hex<char16_t>(out), out, codec.starts_with("utf7"));
    } else if (kFromWide.count(codec) != 0) {
        Check(kFromWide.at(codec), Hex<char16_t>(in), Hex(out), out, codec.ends_with("utf7"));
    } else if (kBytes.count(codec) != 0) {
        Check(kBytes.at(codec), Hex(in), Hex(out), out);
    } else {
        // A direct road takes the piece with room for output and terminator, and
        // declines it with one byte less; "declined": a piece it leaves to the codecs.
        auto text = Hex(in + " 00");
        std::uint8_t buffer[256];
        const std::int32_t n = kDirect.at(codec)(buffer, text.data(), 256);
        if (out == "declined") {
            EXPECT_EQ(n, DIRECT_ROAD_DECLINED);
            return;
        }
        ASSERT_GE(n, 0);
        EXPECT_EQ(test::Bytes(buffer, buffer + n + 1), Hex(out + " 00"));
        EXPECT_EQ(kDirect.at(codec)(buffer, text.data(), n + 1), n);
        EXPECT_EQ(kDirect.at(codec)(buffer, text.data(), n), DIRECT_ROAD_DECLINED);
    }
}

INSTANTIATE_TEST_SUITE_P(Tsv, CodecRows, testing::ValuesIn(test::DataRows("codec_rows.tsv")));

// tests/data/road_rows.tsv: whole pieces through the line converter, and the
// wide and the word-at-a-time ASCII scans agreeing on every suffix of each input.
class RoadRows : public testing::TestWithParam<test::DataRow> {};

TEST_P(RoadRows, GiveTheExpectedOutput) {
    const std::string& road = GetParam().at(0);
    const auto bytes = test::Hex(GetParam().at(1));
    SCOPED_TRACE(road + ": " + GetParam().at(3));
    LineBuffer piece{};
    std::copy(bytes.begin(), bytes.end(), AsBytes(piece));
    ConvertedBuffer output;
    CodeConverter converter;
    const auto arrow = road.find('>');
    const std::int32_t n =
        converter.ConvertLine(output, piece,
                              {test::CodeNamed(road.substr(0, arrow)),
                               test::CodeNamed(road.substr(arrow + 1)), Newline::Lf});
    ASSERT_GE(n, 0);
    EXPECT_EQ(test::Bytes(AsBytes(output), AsBytes(output) + n), test::Hex(GetParam().at(2)));
    const std::uint8_t* end = AsBytes(piece) + bytes.size();
    for (const std::uint8_t* p = AsBytes(piece); p <= end; ++p) {
        const auto n16 = detail::AsciiRunLength(p, end);
        EXPECT_EQ(n16, detail::AsciiRunLength<detail::ByteScan::Words>(p, end));
        EXPECT_EQ(n16, std::find_if(p, end, [](auto b) { return b >= 0x80; }) - p);
        char16_t wide[LINE_BUFFER_BYTES], narrow[LINE_BUFFER_BYTES];
        detail::WidenBytes(wide, p, static_cast<std::int32_t>(end - p));
        detail::WidenBytes<detail::ByteScan::Words>(narrow, p, static_cast<std::int32_t>(end - p));
        EXPECT_TRUE(std::equal(p, end, wide) && std::equal(p, end, narrow));
        const auto clean =
            static_cast<std::int32_t>(std::find_if_not(p, end, detail::IsCleanByte) - p);
        EXPECT_EQ(clean, detail::CleanRunLength(p, end));
        EXPECT_EQ(clean, detail::CleanRunLength<detail::ByteScan::Words>(p, end));
        const auto lineEndAt = static_cast<std::size_t>(
            std::find_if(p, end, [](auto b) { return b == 0x0A || b == 0x0D; }) - p);
        std::uint8_t copy16[LINE_BUFFER_BYTES], copy8[LINE_BUFFER_BYTES];
        EXPECT_EQ(lineEndAt, detail::CopyThroughLineEnd(copy16, p, end - p));
        EXPECT_EQ(lineEndAt,
                  detail::CopyThroughLineEnd<detail::ByteScan::Words>(copy8, p, end - p));
        const std::size_t copied = std::min<std::size_t>(lineEndAt + 1, end - p);
        EXPECT_TRUE(std::equal(p, p + copied, copy16) && std::equal(p, p + copied, copy8));
        // The same scans over units: a byte >= 0x80 as a unit with its high byte set or
        // not, both at every place of a word.
        const auto n = static_cast<std::int32_t>(end - p);
        for (std::int32_t i = 0; i < n; ++i) wide[i] |= wide[i] >= 0x80 && i % 3 != 0 ? 0x100 : 0;
        // And a unit D800-DFFF made of a byte >= 0xD8 at some places.
        char16_t marked[LINE_BUFFER_BYTES];
        for (std::int32_t i = 0; i < n; ++i) marked[i] = i % 3 == 1 ? wide[i] << 8 : wide[i];
        const auto surrogate =
            std::find_if(marked, marked + n, [](auto u) { return u >> 11 == 0x1B; });
        EXPECT_EQ(surrogate - marked, detail::SurrogateFreeLength(marked, marked + n));
        EXPECT_EQ(surrogate - marked,
                  detail::SurrogateFreeLength<detail::ByteScan::Words>(marked, marked + n));
        EXPECT_EQ(n16, detail::AsciiUnitRunLength(wide, wide + n));
        EXPECT_EQ(n16, detail::AsciiUnitRunLength<detail::ByteScan::Words>(wide, wide + n));
        std::uint8_t bytes16[LINE_BUFFER_BYTES], bytes8[LINE_BUFFER_BYTES];
        detail::NarrowUnits(bytes16, narrow, n);
        detail::NarrowUnits<detail::ByteScan::Words>(bytes8, narrow, n);
        EXPECT_TRUE(std::equal(p, end, bytes16) && std::equal(p, end, bytes8));
        for (const std::int32_t room : {n, std::max(n16 - 1, 0), n16 / 2 + 1}) {  // the run or less
            EXPECT_EQ(std::min(n16, room), detail::NarrowAsciiRun(bytes16, wide, wide + n, room));
            EXPECT_EQ(std::min(n16, room), detail::NarrowAsciiRun<detail::ByteScan::Words>(
                                               bytes8, wide, wide + n, room));
            EXPECT_TRUE(std::equal(p, p + std::min(n16, room), bytes16) &&
                        std::equal(p, p + std::min(n16, room), bytes8));
        }
        // The piece's bytes as units, up to two zero bytes after them.
        const std::size_t units = static_cast<std::size_t>(end + 2 - p) / 2;
        const auto unitAt = [&](std::size_t k) { return p[2 * k] | p[2 * k + 1] << 8; };
        std::size_t zero = 0, lineEnd = 0;
        while (zero < units && unitAt(zero) != 0) ++zero;
        while (lineEnd < units && unitAt(lineEnd) != 0x0A && unitAt(lineEnd) != 0x0D) ++lineEnd;
        std::size_t lineFeeds = 0;
        for (std::size_t k = 0; k < units; ++k) lineFeeds += unitAt(k) == 0x0A;
        EXPECT_EQ(lineFeeds, detail::CountUnits(p, units, 0x0A));
        EXPECT_EQ(lineFeeds, detail::CountUnits<detail::ByteScan::Words>(p, units, 0x0A));
        EXPECT_EQ(zero, detail::ZeroUnitIndex(p, units));
        EXPECT_EQ(zero, detail::ZeroUnitIndex<detail::ByteScan::Words>(p, units));
        char16_t units16[LINE_BUFFER_BYTES], units8[LINE_BUFFER_BYTES];
        EXPECT_EQ(lineEnd, detail::UnitIndex(p, units, 0x0A, 0x0D, units16));
        EXPECT_EQ(lineEnd,
                  detail::UnitIndex<detail::ByteScan::Words>(p, units, 0x0A, 0x0D, units8));
        for (std::size_t k = 0; k < std::min(lineEnd + 1, units); ++k) {
            EXPECT_TRUE(units16[k] == unitAt(k) && units8[k] == unitAt(k)) << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Tsv, RoadRows, testing::ValuesIn(test::DataRows("road_rows.tsv")));

TEST(UnitScans, CountLineFeedsAcrossTheirSteps) {
    std::uint8_t units[2 * 40] = {};
    for (std::size_t k = 0; k < 40; ++k) units[2 * k] = k % 3 == 0 ? 0x0A : 'a';
    EXPECT_EQ(detail::CountUnits(units, 40, 0x0A), 14u);
    EXPECT_EQ(detail::CountUnits<detail::ByteScan::Words>(units, 40, 0x0A), 14u);
}

}  // namespace
}  // namespace ruv
