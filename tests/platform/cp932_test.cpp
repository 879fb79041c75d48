// Code page 932 <-> UTF-16: the whole table against glibc's CP932 converter,
// Windows' landmark codes, the rules for invalid input and the text convention.
#include "platform/cp932.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace ruv {
namespace {

// One glibc converter, owned for the length of a test.
class Iconv {
  public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (Ok()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // The converted bytes, or nothing when glibc refuses the input.
    std::optional<std::string> Convert(std::string in) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char out[16];
        char* in_ptr = in.data();
        char* out_ptr = out;
        std::size_t in_left = in.size();
        std::size_t out_left = sizeof out;
        if (iconv(cd_, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1) ||
            in_left != 0) {
            return std::nullopt;
        }
        return std::string(out, out_ptr);
    }

  private:
    iconv_t cd_;
};

std::u16string Decode(const std::string& bytes) {
    char16_t out[64];
    const auto n = Cp932ToUtf16(out, reinterpret_cast<const std::uint8_t*>(bytes.c_str()), 64);
    return n < 0 ? u"<failed>" : std::u16string(out, n);
}

std::string Encode(const std::u16string& units) {
    std::uint8_t out[64];
    const auto n = Utf16ToCp932(out, units.c_str(), 64);
    return n < 0 ? "<failed>" : std::string(out, out + n);
}

// A code as lead * 256 + trail, or the byte itself.
unsigned CodeOf(const std::string& bytes) {
    unsigned code = 0;
    for (unsigned char b : bytes) code = code << 8 | b;
    return code;
}

// Codes in hex, for a readable list of mismatches.
void Note(std::string& list, unsigned code) {
    char hex[8];
    std::snprintf(hex, sizeof hex, " %X", code);
    list += hex;
}

bool IsLead(unsigned b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Where our decoding deliberately differs from glibc, which refuses all of these.
// glibc agrees on everything else: 0x5C and 0x7E as backslash and tilde (not
// JIS X 0201's yen sign and overline), the NEC-selected and user-defined codes.
struct DecodeDifference {
    unsigned byte;
    char16_t ours;
};
constexpr DecodeDifference kDecodeDifferences[] = {
    // Windows' single bytes outside Shift_JIS, kept so that they round-trip.
    {0x80, 0x0080},  // control character
    {0xA0, 0xF8F0},  // private use
    {0xFD, 0xF8F1},  // private use
    {0xFE, 0xF8F2},  // private use
    {0xFF, 0xF8F3},  // private use
};
// glibc refuses every unassigned pair; we give U+30FB for them.  There are this many.
constexpr int kUnassignedPairs = 1676;

// Where our encoding deliberately differs.  glibc makes Windows' choice among
// duplicate codes and accepts the same variant characters, so neither is here.
struct EncodeDifference {
    char16_t unit;
    unsigned ours;
    std::optional<unsigned> glibc;
};
const EncodeDifference kEncodeDifferences[] = {
    // The way back for Windows' single bytes above; glibc has no code for them.
    {0x0080, 0x80, std::nullopt},
    {0xF8F0, 0xA0, std::nullopt},
    {0xF8F1, 0xFD, std::nullopt},
    {0xF8F2, 0xFE, std::nullopt},
    {0xF8F3, 0xFF, std::nullopt},
};

TEST(Cp932Table, DecodingEqualsGlibcExceptTheListedDifferences) {
    Iconv glibc("UTF-16LE", "CP932");
    ASSERT_TRUE(glibc.Ok());
    auto glibc_unit = [&](const std::string& bytes) -> std::optional<char16_t> {
        const auto out = glibc.Convert(bytes);
        if (!out || out->size() != 2) return std::nullopt;
        return static_cast<char16_t>(static_cast<unsigned char>((*out)[0]) |
                                     static_cast<unsigned char>((*out)[1]) << 8);
    };
    std::string wrong;  // codes that differ unexpectedly
    for (unsigned b = 1; b < 0x100; ++b) {
        if (IsLead(b)) continue;
        const std::string bytes(1, static_cast<char>(b));
        std::optional<char16_t> expected = glibc_unit(bytes);
        for (const auto& row : kDecodeDifferences) {
            if (row.byte == b) expected = expected ? std::nullopt : std::optional(row.ours);
        }
        if (!expected || Decode(bytes) != std::u16string(1, *expected)) Note(wrong, b);
    }
    int unassigned = 0;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLead(lead)) continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            const auto expected = glibc_unit(bytes);
            if (!expected) ++unassigned;
            if (Decode(bytes) != std::u16string(1, expected.value_or(0x30FB))) {
                Note(wrong, lead << 8 | trail);
            }
        }
    }
    EXPECT_EQ(unassigned, kUnassignedPairs);
    EXPECT_EQ(wrong, "");
}

TEST(Cp932Table, EncodingEqualsGlibcExceptTheListedDifferences) {
    Iconv glibc("CP932", "UTF-16LE");
    ASSERT_TRUE(glibc.Ok());
    std::string wrong;  // codes that differ unexpectedly
    for (unsigned u = 1; u < 0x10000; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF) continue;
        const auto theirs = glibc.Convert({static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)});
        std::optional<unsigned> glibc_code;
        if (theirs) glibc_code = CodeOf(*theirs);
        unsigned expected = glibc_code.value_or('?');  // no code: our "?"
        for (const auto& row : kEncodeDifferences) {
            if (row.unit != u) continue;
            expected = glibc_code == row.glibc ? row.ours : 0;  // 0: glibc changed
        }
        if (CodeOf(Encode(std::u16string(1, static_cast<char16_t>(u)))) != expected) {
            Note(wrong, u);
        }
    }
    EXPECT_EQ(wrong, "");
}

struct Landmark {
    const char* bytes;
    char16_t unit;
};

TEST(Cp932Table, DecodesMicrosoftsCodePage932) {
    const Landmark rows[] = {
        {"\x5C", 0x005C},      // \ (not the yen sign)
        {"\x7E", 0x007E},      // ~ (not the overline)
        {"\x80", 0x0080},      // Windows' single byte
        {"\xA0", 0xF8F0},      // Windows' single byte
        {"\xA1", 0xFF61},      // ｡ half-width katakana
        {"\xFF", 0xF8F3},      // Windows' single byte
        {"\x81\x40", 0x3000},  // ideographic space
        {"\x81\x60", 0xFF5E},  // ～ fullwidth tilde, not the wave dash
        {"\x81\x7C", 0xFF0D},  // － fullwidth hyphen-minus, not the minus sign
        {"\x87\x54", 0x2160},  // Ⅰ NEC row 13
        {"\xED\x40", 0x7E8A},  // 纊 NEC-selected IBM extension
        {"\xEE\xEF", 0x2170},  // ⅰ NEC-selected IBM extension
        {"\xFA\x40", 0x2170},  // ⅰ IBM extension
        {"\xFC\x4B", 0x9ED1},  // 黑 the last IBM extension
        {"\xF0\x40", 0xE000},  // first user-defined code
        {"\xF9\xFC", 0xE757},  // last user-defined code
    };
    for (const auto& row : rows)
        EXPECT_EQ(Decode(row.bytes), std::u16string(1, row.unit)) << row.bytes;
}

TEST(Cp932Table, EncodesWhatWindowsPicks) {
    const Landmark rows[] = {
        {"\x81\xE0", 0x2252},  // ≒ JIS X 0208 before NEC row 13 (8790)
        {"\x87\x54", 0x2160},  // Ⅰ NEC row 13 before IBM (FA4A)
        {"\xFA\x40", 0x2170},  // ⅰ IBM, never NEC-selected (EEEF)
        {"\x81\xCA", 0xFFE2},  // ￢ JIS X 0208 before EEF9 and FA54
        {"\x81\xE6", 0x2235},  // ∵ JIS X 0208 before 879A and FA5B
        {"\xFA\x5C", 0x7E8A},  // 纊 IBM, never NEC-selected (ED40)
        {"\xF9\xFC", 0xE757},  // user-defined area
        {"\x81\x60", 0x301C},  // 〜 wave dash -> fullwidth tilde's code
        {"\x81\x60", 0xFF5E},  // ～
        {"\x81\x61", 0x2016},  // ‖ -> ∥'s code
        {"\x81\x7C", 0x2212},  // − -> －'s code
        {"\x81\x91", 0x00A2},  // ¢ -> ￠'s code
        {"\x81\x92", 0x00A3},  // £ -> ￡'s code
        {"\x81\xCA", 0x00AC},  // ¬ -> ￢'s code
        {"\x5C", 0x00A5},      // ¥ -> the JIS X 0201 yen sign byte
        {"\x7E", 0x203E},      // ‾ -> the JIS X 0201 overline byte
        {"\x81\x5C", 0x2014},  // — (EM DASH) -> ―, the dash of JIS X 0208
    };
    for (const auto& row : rows)
        EXPECT_EQ(Encode(std::u16string(1, row.unit)), row.bytes) << row.bytes;
}

TEST(Cp932Decode, InvalidBytesGiveTheDefaultCharacterAndKeepTheNextByte) {
    const struct {
        const char* bytes;
        const char16_t* text;
    } rows[] = {
        {"\x81\x0A", u"\u30FB\n"},            // lead + LF: the line feed stays
        {"a\x81", u"a\u30FB"},                // lead before the terminator
        {"\x85\x40", u"\u30FB"},              // unassigned pair: one character
        {"\xEB\xFC", u"\u30FB"},              // unassigned pair
        {"\x81\x7F", u"\u30FB\x7F"},          // 7F is no trail byte
        {"\x81\xFD", u"\u30FB\uF8F1"},        // nor is FD
        {"\x81\x81\x40", u"\uFF1D@"},         // a lead byte as trail: ＝ then @
        {"\x82\xA0\x0D\x0A", u"\u3042\r\n"},  // あ CR LF
    };
    for (const auto& row : rows) EXPECT_EQ(Decode(row.bytes), row.text) << row.bytes;
}

TEST(Cp932Encode, UnmappableUnitsAndSurrogatesGiveOneQuestionMarkEach) {
    const struct {
        const char16_t* text;
        const char* bytes;
    } rows[] = {
        {u"\U0001F600", "?"},            // a pair: one "?"
        {u"a\U00020B9Fb", "a?b"},        // 𠮟 beyond the BMP
        {u"\xD83Dx", "?x"},              // lone high surrogate
        {u"\xDE00", "?"},                // lone low surrogate
        {u"\xDE00\xD83D", "??"},         // reversed pair
        {u"\xD83D\U0001F600", "??"},     // lone high, then a pair
        {u"\u0100\u3042", "?\x82\xA0"},  // Ā has no code; あ
    };
    for (const auto& row : rows) EXPECT_EQ(Encode(row.text), row.bytes) << row.bytes;
}

TEST(Cp932Convention, EmptyTextWritesOneTerminator) {
    char16_t wide[2] = {0x1111, 0x1111};
    EXPECT_EQ(Cp932ToUtf16(wide, reinterpret_cast<const std::uint8_t*>(""), 1), 0);
    EXPECT_EQ(wide[0], 0);
    EXPECT_EQ(wide[1], 0x1111);
    std::uint8_t bytes[2] = {0x11, 0x11};
    EXPECT_EQ(Utf16ToCp932(bytes, u"", 1), 0);
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(bytes[1], 0x11);
    EXPECT_EQ(Cp932ToUtf16(wide, reinterpret_cast<const std::uint8_t*>(""), 0), -1);
}

TEST(Cp932Convention, OutputThatLeavesNoRoomForTheTerminatorFailsWithinCapacity) {
    const auto* text = reinterpret_cast<const std::uint8_t*>("ab\x82\xA0");  // a b あ
    for (std::int32_t capacity = 0; capacity <= 4; ++capacity) {
        char16_t wide[5] = {9, 9, 9, 9, 9};
        EXPECT_EQ(Cp932ToUtf16(wide, text, capacity), capacity == 4 ? 3 : -1);
        EXPECT_EQ(wide[capacity], 9) << "wrote past capacity " << capacity;
    }
    for (std::int32_t capacity = 0; capacity <= 5; ++capacity) {  // a b あ -> 61 62 82 A0
        std::uint8_t bytes[6] = {9, 9, 9, 9, 9, 9};
        EXPECT_EQ(Utf16ToCp932(bytes, u"ab\u3042", capacity), capacity == 5 ? 4 : -1);
        EXPECT_EQ(bytes[capacity], 9) << "wrote past capacity " << capacity;
    }
}

TEST(Cp932Convention, NullOutputMeasuresAndIgnoresCapacity) {
    EXPECT_EQ(Cp932ToUtf16(nullptr, reinterpret_cast<const std::uint8_t*>("\x82\xA0z\x81"), 0), 3);
    EXPECT_EQ(Utf16ToCp932(nullptr, u"\u3042z\U0001F600", 0), 4);
}

}  // namespace
}  // namespace ruv
