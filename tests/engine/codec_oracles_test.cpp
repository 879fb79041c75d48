// The codecs against glibc iconv over whole character sets: JIS X 0208 beside
// Shift_JIS, ISO-2022-JP and EUC-JP, UTF-16 beside UTF-8 and UTF-7, and code
// page 932 beside UTF-16 and UTF-8. Rows of single conversions are in
// tests/data/codec_rows.tsv.
#include <gtest/gtest.h>

#include <sstream>

#include "codec_cases.h"
#include "engine/euc_codec.h"
#include "engine/jis_codec.h"
#include "engine/utf7_codec.h"
#include "engine/utf8_codec.h"
#include "platform/cp932.h"

namespace ruv {
namespace {

struct Road {
    const char* name;  // iconv's
    test::ByteCodec there, back;
    std::size_t escapeBytes;  // of a text of kanji only
};

class JisX0208Codec : public testing::TestWithParam<Road> {};

// Every row and cell as EUC-JP, whose pairs are the row and cell plus A0.
TEST_P(JisX0208Codec, RoundTripsEveryRowCellAndIbmExtensionAndAgreesWithIconv) {
    const Road& road = GetParam();
    test::Bytes euc;
    for (int i = 0; i < 94 * 94; ++i)
        euc.insert(euc.end(), {std::uint8_t(0xA1 + i / 94), std::uint8_t(0xA1 + i % 94)});
    const auto sjis = test::Convert(EucToSjisText, euc);
    const auto encoded = test::Convert(road.there, sjis);
    EXPECT_EQ(encoded.size(), sjis.size() + road.escapeBytes);
    EXPECT_EQ(test::Convert(road.back, encoded), sjis);

    test::Iconv toSjis("SHIFT_JIS", "EUC-JP"), there(road.name, "SHIFT_JIS"),
        back("SHIFT_JIS", road.name);
    int compared = 0;
    for (std::size_t i = 0; i < euc.size(); i += 2) {
        const auto one = toSjis({euc[i], euc[i + 1]});
        const auto expected = there(one);
        if (expected.empty()) continue;  // unassigned cell
        ++compared;
        ASSERT_EQ(test::Convert(road.there, one), expected)
            << std::hex << int(euc[i]) << int(euc[i + 1]);
        ASSERT_EQ(test::Convert(road.back, expected), back(expected)) << std::hex << int(euc[i]);
    }
    EXPECT_GE(compared, 6879);  // every character of JIS X 0208

    // The IBM extensions FA40-FC4B have no JIS row of their own: written through
    // their code page 932 equivalents, each reads back as the same character.
    int extensions = 0;
    for (unsigned code = 0xFA40; code <= 0xFCFC; ++code) {
        const test::Bytes ibm = {std::uint8_t(code >> 8), std::uint8_t(code)};
        if (!IsSjisTrailByte(ibm[1])) continue;
        const auto unit = test::Convert(Cp932ToUtf16, ibm);
        if (unit == test::Units{0x30FB}) continue;  // unassigned
        ++extensions;
        const auto again = test::Convert(road.back, test::Convert(road.there, ibm));
        EXPECT_EQ(test::Convert(Cp932ToUtf16, again), unit) << std::hex << code;
    }
    EXPECT_EQ(extensions, 388);
}

INSTANTIATE_TEST_SUITE_P(Codecs, JisX0208Codec,
                         testing::Values(Road{"ISO-2022-JP", SjisToJisText, JisToSjisText, 6},
                                         Road{"EUC-JP", SjisToEucText, EucToSjisText, 0}),
                         [](const auto& info) { return info.index == 0 ? "Jis" : "Euc"; });

// Every BMP character up to last but the surrogates, in runs of one to four
// between printable ASCII characters, and now and then a supplementary one, so
// that UTF-7 runs open and close around every kind of neighbour.
test::Units MixedText(char32_t last) {
    test::Units units;
    int k = 0;
    for (char32_t cp = 1; cp <= last; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        units.push_back(static_cast<char16_t>(cp));
        if (++k % 5 == 0) units.push_back(static_cast<char16_t>(0x20 + k % 0x5F));
        if (k % 61 != 0) continue;
        const unsigned a = k * 0x3F7u % 0x100000;  // a supplementary character, less 0x10000
        units.insert(units.end(), {char16_t(0xD800 + a / 1024), char16_t(0xDC00 + a % 1024)});
    }
    return units;
}

// Each side reads the other's text. For UTF-7 the texts differ: our runs always
// end with "-" and we write "@" directly, while iconv writes "@" in a run and
// leaves out "-" before a non-digit; both refuse "~" and "\" outside a run.
TEST(UnicodeCodecs, AgreeWithIconvInBothDirections) {
    const struct {
        const char* name;
        test::WideIn encode;
        test::WideOut decode;
    } roads[] = {{"UTF-8", WideToUtf8Text, Utf8ToWideText},
                 {"UTF-7", WideToUtf7Text, Utf7ToWideText}};
    for (const auto& road : roads) {
        test::Iconv to(road.name, "UTF-16LE"), from("UTF-16LE", road.name);
        for (const auto& units : {MixedText(0x7F), MixedText(0xFFFF)}) {
            const bool utf7 = road.decode == Utf7ToWideText;
            EXPECT_EQ(from(test::Convert(road.encode, units, utf7)), test::Le(units)) << road.name;
            EXPECT_EQ(test::Convert(road.decode, to(test::Le(units)), utf7), units) << road.name;
        }
    }
}

bool IsLead(unsigned b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Windows' single bytes outside Shift_JIS, which glibc refuses and we keep, so
// that they round-trip. glibc agrees on everything else: 0x5C and 0x7E as
// backslash and tilde, the NEC-selected and user-defined codes, Windows' choice
// among duplicate codes and its variant characters (wave dash, yen sign).
constexpr struct {
    unsigned byte;
    char16_t unit;
} kDifferences[] = {{0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3}};

// Every single byte and every lead byte before any other byte, each with a
// letter after it: as glibc reads it (U+30FB for an unassigned pair, which
// glibc refuses), and the same straight to UTF-8.
TEST(Cp932Table, DecodingAndEncodingEqualGlibcExceptTheListedDifferences) {
    test::Iconv glibc("UTF-16LE", "CP932"), utf8("UTF-8", "UTF-16LE");
    ASSERT_TRUE(glibc.ok());
    std::ostringstream wrong;  // codes that differ unexpectedly
    wrong << std::hex;
    int unassigned = 0;
    for (unsigned code = 1; code < 0x10000; ++code) {
        const unsigned lead = code >> 8, trail = code & 0xFF;
        if (trail == 0 || (lead == 0 && IsLead(trail)) || (lead != 0 && !IsLead(lead))) continue;
        test::Bytes bytes{std::uint8_t(trail), 'a'};
        if (lead != 0) bytes.insert(bytes.begin(), std::uint8_t(lead));
        const auto ours = test::Convert(Cp932ToUtf16, bytes);
        if (test::Convert(Cp932ToUtf8, bytes) != utf8(test::Le(ours))) wrong << ' ' << code;
        if (lead != 0 && (trail < 0x40 || trail == 0x7F || trail > 0xFC)) continue;  // no pair
        auto expected = test::FromLe(glibc(bytes));
        if (expected.empty()) ++unassigned;
        for (const auto& row : kDifferences) {
            if (row.byte == code)
                expected = expected.empty() ? test::Units{row.unit, 'a'} : test::Units{};
        }
        if (expected.empty() && lead != 0) expected = {0x30FB, 'a'};
        if (ours != expected) wrong << ' ' << code;
    }
    EXPECT_EQ(unassigned, 1676 + 5);  // the pairs glibc refuses and the listed bytes

    // Every BMP character as glibc writes it ("?" where it has no code), but the
    // way back for the listed bytes, which glibc has no code for.
    test::Iconv encoder("CP932", "UTF-16LE");
    for (unsigned u = 1; u < 0x10000; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF) continue;
        const test::Units unit{static_cast<char16_t>(u)};
        test::Bytes expected = encoder(test::Le(unit));
        for (const auto& row : kDifferences) {
            if (row.unit == u)
                expected = expected.empty() ? test::Bytes{std::uint8_t(row.byte)} : test::Bytes{0};
        }
        if (test::Convert(Utf16ToCp932, unit) != (expected.empty() ? test::Bytes{'?'} : expected))
            wrong << " U+" << u;
    }
    EXPECT_EQ(wrong.str(), "");
}

}  // namespace
}  // namespace ruv
