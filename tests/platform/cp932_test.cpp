// Code page 932 <-> UTF-16: the whole table against glibc's CP932 converter, and
// the rules for invalid input.
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

// A code as lead * 256 + trail, or the byte itself.
unsigned CodeOf(const Bytes& bytes) {
    unsigned code = 0;
    for (unsigned char b : bytes) code = code << 8 | b;
    return code;
}

// Appends a code in hex, for a readable list of mismatches.
void Note(std::string& list, unsigned code) {
    char hex[8];
    std::snprintf(hex, sizeof hex, " %X", code);
    list += hex;
}

bool IsLead(unsigned b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Where decoding deliberately differs from glibc, which refuses all of these:
// Windows' single bytes outside Shift_JIS, kept so that they round-trip. glibc
// agrees on everything else: 0x5C and 0x7E as backslash and tilde, the
// NEC-selected and user-defined codes.
constexpr struct {
    unsigned byte;
    char16_t ours;
} kDecodeDifferences[] = {
    {0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3}};
// glibc refuses every unassigned pair; we give U+30FB for them. There are this many.
constexpr int kUnassignedPairs = 1676;

TEST(Cp932Table, DecodingEqualsGlibcExceptTheListedDifferences) {
    test::Iconv glibc("UTF-16LE", "CP932");
    ASSERT_TRUE(glibc.ok());
    auto glibc_unit = [&](const Bytes& bytes) -> std::optional<char16_t> {
        const auto units = test::FromLe(glibc(bytes));
        return units.size() == 1 ? std::optional(units[0]) : std::nullopt;
    };
    std::string wrong;  // codes that differ unexpectedly
    for (unsigned b = 1; b < 0x100; ++b) {
        if (IsLead(b)) continue;
        const Bytes bytes{static_cast<std::uint8_t>(b)};
        std::optional<char16_t> expected = glibc_unit(bytes);
        for (const auto& row : kDecodeDifferences) {
            if (row.byte == b) expected = expected ? std::nullopt : std::optional(row.ours);
        }
        if (!expected || Convert(Cp932ToUtf16, bytes) != test::Units{*expected}) Note(wrong, b);
    }
    int unassigned = 0;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            if (!IsLead(lead) || trail == 0x7F) continue;
            const Bytes bytes{static_cast<std::uint8_t>(lead), static_cast<std::uint8_t>(trail)};
            const auto expected = glibc_unit(bytes);
            if (!expected) ++unassigned;
            if (Convert(Cp932ToUtf16, bytes) != test::Units{expected.value_or(0x30FB)})
                Note(wrong, lead << 8 | trail);
        }
    }
    EXPECT_EQ(unassigned, kUnassignedPairs);
    EXPECT_EQ(wrong, "");
}

// Where encoding deliberately differs: the way back for Windows' single bytes
// above, which glibc has no code for. glibc makes Windows' choice among
// duplicate codes and maps the same variant characters (wave dash, yen sign).
constexpr struct {
    char16_t unit;
    unsigned ours;
} kEncodeDifferences[] = {
    {0x0080, 0x80}, {0xF8F0, 0xA0}, {0xF8F1, 0xFD}, {0xF8F2, 0xFE}, {0xF8F3, 0xFF}};

TEST(Cp932Table, EncodingEqualsGlibcExceptTheListedDifferences) {
    test::Iconv glibc("CP932", "UTF-16LE");
    ASSERT_TRUE(glibc.ok());
    std::string wrong;  // codes that differ unexpectedly
    for (unsigned u = 1; u < 0x10000; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF) continue;
        const test::Units unit{static_cast<char16_t>(u)};
        const Bytes theirs = glibc(test::Le(unit));
        unsigned expected = theirs.empty() ? '?' : CodeOf(theirs);  // no code: our "?"
        for (const auto& row : kEncodeDifferences) {
            if (row.unit == u) expected = theirs.empty() ? row.ours : 0;  // 0: glibc changed
        }
        if (CodeOf(Convert(Utf16ToCp932, unit)) != expected) Note(wrong, u);
    }
    EXPECT_EQ(wrong, "");
}

// Rows of single conversions are in tests/data/codec_rows.tsv.

TEST(Cp932ToUtf8, GivesTheCharactersOfCp932ToUtf16) {
    // Every single byte and every lead/trail pair, with a letter after it.
    test::Iconv utf8("UTF-8", "UTF-16LE");
    for (unsigned code = 1; code < 0x10000; ++code) {
        if ((code & 0xFF) == 0) continue;
        test::Bytes bytes;
        if (code >= 0x100) bytes.push_back(static_cast<std::uint8_t>(code >> 8));
        bytes.push_back(static_cast<std::uint8_t>(code & 0xFF));
        bytes.push_back('a');
        ASSERT_EQ(Convert(Cp932ToUtf8, bytes), utf8(test::Le(Convert(Cp932ToUtf16, bytes))))
            << std::hex << code;
    }
}

}  // namespace
}  // namespace ruv
