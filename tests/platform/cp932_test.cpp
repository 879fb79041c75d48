// Code page 932 <-> UTF-16 and UTF-8: the whole table against glibc's CP932
// converter. Rows of single conversions are in tests/data/codec_rows.tsv.
#include "platform/cp932.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

#include "engine/codec_cases.h"

namespace ruv {
namespace {

using test::Bytes;
using test::Convert;

// Appends a code in hex, for a readable list of mismatches.
void Note(std::string& list, unsigned code) {
    char hex[8];
    std::snprintf(hex, sizeof hex, " %X", code);
    list += hex;
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
TEST(Cp932Table, DecodingEqualsGlibcExceptTheListedDifferences) {
    test::Iconv glibc("UTF-16LE", "CP932"), utf8("UTF-8", "UTF-16LE");
    ASSERT_TRUE(glibc.ok());
    std::string wrong;  // codes that differ unexpectedly
    int unassigned = 0;
    for (unsigned code = 1; code < 0x10000; ++code) {
        const unsigned lead = code >> 8, trail = code & 0xFF;
        if (trail == 0 || (lead == 0 && IsLead(trail)) || (lead != 0 && !IsLead(lead))) continue;
        Bytes bytes{std::uint8_t(trail), 'a'};
        if (lead != 0) bytes.insert(bytes.begin(), std::uint8_t(lead));
        const auto ours = Convert(Cp932ToUtf16, bytes);
        if (Convert(Cp932ToUtf8, bytes) != utf8(test::Le(ours))) Note(wrong, code);
        if (lead != 0 && (trail < 0x40 || trail == 0x7F || trail > 0xFC)) continue;  // no pair
        auto expected = test::FromLe(glibc(bytes));
        if (expected.empty()) ++unassigned;
        for (const auto& row : kDifferences) {
            if (row.byte == code)
                expected = expected.empty() ? test::Units{row.unit, 'a'} : test::Units{};
        }
        if (expected.empty() && lead != 0) expected = {0x30FB, 'a'};
        if (ours != expected) Note(wrong, code);
    }
    EXPECT_EQ(unassigned, 1676 + 5);  // the pairs glibc refuses and the listed bytes
    EXPECT_EQ(wrong, "");
}

// Every BMP character as glibc writes it ("?" where it has no code), but the
// way back for the listed bytes, which glibc has no code for.
TEST(Cp932Table, EncodingEqualsGlibcExceptTheListedDifferences) {
    test::Iconv glibc("CP932", "UTF-16LE");
    std::string wrong;  // codes that differ unexpectedly
    for (unsigned u = 1; u < 0x10000; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF) continue;
        const test::Units unit{static_cast<char16_t>(u)};
        Bytes expected = glibc(test::Le(unit));
        for (const auto& row : kDifferences) {
            if (row.unit == u)
                expected = expected.empty() ? Bytes{std::uint8_t(row.byte)} : Bytes{0};
        }
        if (Convert(Utf16ToCp932, unit) != (expected.empty() ? Bytes{'?'} : expected))
            Note(wrong, u);
    }
    EXPECT_EQ(wrong, "");
}

}  // namespace
}  // namespace ruv
