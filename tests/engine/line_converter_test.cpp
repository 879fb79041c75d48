// The line converter: roads between the codes and the line-end rewrite.
#include "engine/line_converter.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <string>
#include <utility>

namespace ruv {
namespace {

const KanjiCode kTargets[] = {CODE_JIS, CODE_SJIS, CODE_EUC, CODE_UNICODE, CODE_UTF8, CODE_UTF7};

// UTF-16 pieces are given and returned as their bytes on this (little-endian) host.
static_assert(std::endian::native == std::endian::little);

// Converts one piece and returns the output bytes, or "<fail>".
std::string Convert(const std::string& piece, KanjiCode source, KanjiCode target,
                    std::int32_t newline = NEWLINE_LF, bool fold = false) {
    LineBuffer line{};
    std::memcpy(AsBytes(line), piece.data(), piece.size());
    ConvertedBuffer output{};
    const std::int32_t n = CodeConverter().ConvertLine(output, line, source, target, newline, fold);
    if (n < 0) return "<fail>";
    const std::uint8_t* bytes = AsBytes(output);
    EXPECT_EQ(bytes[n] | (target == CODE_UNICODE ? bytes[n + 1] : 0), 0) << "terminated";
    return std::string(reinterpret_cast<const char*>(bytes), n);
}

std::string Wide(const std::u16string& units) {
    return std::string(reinterpret_cast<const char*>(units.data()), 2 * units.size());
}

TEST(LineConverter, RewritesTheFinalLineFeedByTheChoice) {
    for (KanjiCode target : kTargets) {
        if (target == CODE_UNICODE) continue;
        EXPECT_EQ(Convert("abc\n", CODE_SJIS, target, NEWLINE_CRLF), "abc\r\n") << target;
        EXPECT_EQ(Convert("abc\n", CODE_SJIS, target, NEWLINE_CR), "abc\r") << target;
        EXPECT_EQ(Convert("abc\n", CODE_SJIS, target, NEWLINE_LF), "abc\n") << target;
        EXPECT_EQ(Convert("abc", CODE_SJIS, target, NEWLINE_CRLF), "abc") << "no line end added";
    }
    EXPECT_EQ(Convert(Wide(u"a\n"), CODE_UNICODE, CODE_UNICODE, NEWLINE_CRLF), Wide(u"a\r\n"));
    EXPECT_EQ(Convert(Wide(u"a\n"), CODE_UNICODE, CODE_UNICODE, NEWLINE_CR), Wide(u"a\r"));
    // U+4E0A ends in the byte 0A but is no line feed.
    EXPECT_EQ(Convert("\xE4\xB8\x8A", CODE_UTF8, CODE_UNICODE, NEWLINE_CRLF), Wide(u"\u4E0A"));
}

TEST(LineConverter, TakesShiftJisToEveryCodeAndFoldsKanaOnlyWhenAsked) {
    const struct {
        std::string in;
        KanjiCode target;
        bool fold;
        std::string out;
    } rows[] = {
        {"\xB6\xDE\x88\x9F\n", CODE_SJIS, false, "\xB6\xDE\x88\x9F\n"},  // ｶﾞ亜 copied
        {"\xB6\xDE\x88\x9F\n", CODE_SJIS, true, "\x83\x4B\x88\x9F\n"},   // folded: ガ亜
        {"a\x88\x9F\n", CODE_EUC, false, "a\xB0\xA1\n"},                 // a亜
        {"a\x88\x9F\x62", CODE_JIS, false, "a\x1B$B0!\x1B(Bb"},          // a亜b
        {"\x82\xA0\n", CODE_UTF8, false, "\xE3\x81\x82\n"},              // あ
        {"\x82\xA0", CODE_UNICODE, false, Wide(u"\u3042")},              // あ
        {"\x93\xFA\x96\x7B\n", CODE_UTF7, false, "+ZeVnLA-\n"},          // 日本
    };
    for (const auto& row : rows)
        EXPECT_EQ(Convert(row.in, CODE_SJIS, row.target, NEWLINE_LF, row.fold), row.out)
            << row.target;
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

TEST(LineConverter, TakesEucAndJisToEachOtherAsTheRoadThroughShiftJisDoes) {
    const struct {
        std::string in;
        KanjiCode source, target;
        std::string out;
    } rows[] = {
        // Clean pieces, taken in one pass.
        {"a\xB0\xA1\n", CODE_EUC, CODE_JIS, "a\x1B$B0!\x1B(B\n"},          // a亜
        {"\xB0\xA1", CODE_EUC, CODE_JIS, "\x1B$B0!\x1B(B"},                  // 亜, closed
        {"\x1B$B0!\x1B(Ba\n", CODE_JIS, CODE_EUC, "\xB0\xA1" "a\n"},         // 亜a
        {"\x1B$B\x1B(Ba", CODE_JIS, CODE_JIS, "a"},                          // empty kanji run
        {"\x1B$B0!\x1B$B0!", CODE_JIS, CODE_JIS, "\x1B$B0!0!\x1B(B"},        // 亜亜
        // Not clean: the road through Shift_JIS decides.
        {"\xB0\x21", CODE_EUC, CODE_JIS, "\x1B$B~~\x1B(B!"},               // broken pair, then !
        {"\x8E\xB6", CODE_EUC, CODE_EUC, "\xA5\xAB"},                        // ｶ folded: カ
        {"a\xB0", CODE_EUC, CODE_EUC, "a\xFE\xFE"},                           // cut pair
        {"\x1B$B0", CODE_JIS, CODE_EUC, "\xFE\xFE"},                          // cut pair
        {"\x1B$B0!\n", CODE_JIS, CODE_JIS, "\x1B$B0!\x1B(B\n"},             // line feed in kanji
        {"\x1B$@0!", CODE_JIS, CODE_EUC, "\xB0\xA1"},                         // ESC $ @: 亜
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Convert(row.in, row.source, row.target), row.out) << row.in;
        EXPECT_EQ(TwoSteps(row.in, row.source, row.target), row.out) << row.in;
    }
    // Every JIS X 0208 pair, a row of 94 at a time, both ways.
    for (int r = 0x21; r <= 0x7E; ++r) {
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

TEST(LineConverter, UnicodeFormsNeverPassThroughTheCodePage) {
    // 한 (U+D55C) and 😀 (U+1F600) have no Shift_JIS code.
    const std::string utf8 = "\xED\x95\x9C\xF0\x9F\x98\x80\n";
    const std::string utf16 = Wide(u"\uD55C\U0001F600\n");
    const std::string utf7 = "+1VzYPd4A-\n";
    const std::pair<KanjiCode, std::string> forms[] = {
        {CODE_UTF8, utf8}, {CODE_UNICODE, utf16}, {CODE_UTF7, utf7}};
    for (const auto& [source, in] : forms) {
        for (const auto& [target, out] : forms)
            EXPECT_EQ(Convert(in, source, target), out) << source << target;
    }
    // Through the pivot such characters become the code page's "?".
    EXPECT_EQ(Convert(utf8, CODE_UTF8, CODE_SJIS), "??\n");
}

TEST(LineConverter, LoneSurrogatesBecomeQuestionMarksOnEveryRoad) {
    // Each row as UTF-16 and as UTF-7, and the text it converts as.
    const struct {
        std::u16string units;
        std::string utf7;
        std::u16string text;
    } rows[] = {
        {u"\xD800\x41", "+2AA-A", u"?A"},                       // a lone high surrogate
        {u"A\xDC00", "A+3AA-", u"A?"},                          // a lone low one
        {u"\xDE00\xD83D", "+3gDYPQ-", u"??"},                   // a pair in the wrong order
        {u"\xD83D\xD83D\xDE00", "+2D3YPd4A-", u"?\U0001F600"},  // a high one, then a pair
        {u"\U0001F600", "+2D0-+3gA-", u"\U0001F600"},           // a pair split between runs
    };
    for (const auto& row : rows) {
        for (KanjiCode target : kTargets) {
            const std::string out = Convert(Wide(row.text), CODE_UNICODE, target);
            EXPECT_EQ(Convert(Wide(row.units), CODE_UNICODE, target), out) << row.utf7 << target;
            EXPECT_EQ(Convert(row.utf7, CODE_UTF7, target), out) << row.utf7 << target;
        }
    }
}

TEST(LineConverter, AsciiLinesAreCopiedWidenedOrEncoded) {
    const std::string line = "a+b\\c~d\n";
    for (KanjiCode target : {CODE_JIS, CODE_SJIS, CODE_EUC, CODE_UTF8}) {
        EXPECT_EQ(Convert(line, CODE_ASCII, target), line) << target;
    }
    EXPECT_EQ(Convert(line, CODE_ASCII, CODE_UNICODE), Wide(u"a+b\\c~d\n"));
    const std::string utf7 = Convert(line, CODE_ASCII, CODE_UTF7);
    EXPECT_EQ(utf7, "a+-b+AFw-c+AH4-d\n");
    EXPECT_EQ(Convert(utf7, CODE_UTF7, CODE_UTF8), line) << "valid UTF-7 that reads back";
}

TEST(LineConverter, RefusesWhatHasNoRoad) {
    // Undecided text: 7-bit lines are the same in every code, others are refused.
    EXPECT_EQ(Convert("a+b\n", CODE_UNKNOWN, CODE_UTF8), "a+b\n");
    EXPECT_EQ(Convert("a+b\n", CODE_UNKNOWN, CODE_UTF7), "a+-b\n");
    EXPECT_EQ(Convert("\x82\xA0\n", CODE_UNKNOWN, CODE_UTF8), "<fail>");
    EXPECT_EQ(Convert("\x1B$B0!\n", CODE_UNKNOWN, CODE_UTF8), "<fail>");
    EXPECT_EQ(Convert("abc\n", CODE_BINARY, CODE_UTF8), "<fail>");
    EXPECT_EQ(Convert("abc\n", CODE_SJIS, CODE_ASCII), "<fail>");
    // 7-bit text with an 8-bit byte is in some other code: never copied as it is.
    // An escape alone (terminal colours) is 7-bit text.
    for (KanjiCode target : kTargets) {
        EXPECT_EQ(Convert("caf\xC3\xA9\n", CODE_ASCII, target), "<fail>") << target;
    }
    EXPECT_EQ(Convert("\x1B[31mred\n", CODE_ASCII, CODE_UTF8), "\x1B[31mred\n");
    // Text the UTF-7 decoder refuses outside a run, whatever the target.
    for (KanjiCode target : kTargets) {
        EXPECT_EQ(Convert("a~b\n", CODE_UTF7, target), "<fail>") << target;
    }
}

TEST(LineConverter, StartsEachLineInAsciiAndRefusesLinesThatOutgrowTheBuffer) {
    // A JIS line that only switches mode converts to nothing.
    EXPECT_EQ(Convert("\x1B$B", CODE_JIS, CODE_SJIS), "");
    // Each line starts in ASCII mode: kanji opened by an earlier line is not assumed.
    EXPECT_EQ(Convert("0!\n", CODE_JIS, CODE_SJIS), "0!\n");
    // 500 pairs of a half-width kana and a letter need 4500 bytes of JIS: too long.
    std::string extreme;
    for (int i = 0; i < 500; ++i) extreme += "\xB1\x61";
    EXPECT_EQ(Convert(extreme, CODE_SJIS, CODE_JIS), "<fail>");
    // The widest UTF-16 line fits with its CR LF.
    const std::string wide = Wide(std::u16string(499, u'\u3042') + u"\n");
    EXPECT_EQ(Convert(wide, CODE_UNICODE, CODE_UNICODE, NEWLINE_CRLF).size(), wide.size() + 2);
}

}  // namespace
}  // namespace ruv
